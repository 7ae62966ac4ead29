#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "help/HelpIndex.h"

using help::HelpIndex;

namespace {

// A folder of pages written by the test.
HelpIndex pagesOf(QTemporaryDir& dir, const QList<QPair<QString, QString>>& pages) {
  for (const auto& [id, text] : pages) {
    QFile f(dir.filePath(id + QStringLiteral(".md")));
    if (f.open(QIODevice::WriteOnly)) f.write(text.toUtf8());
  }
  return HelpIndex::fromFolder(dir.path());
}

QStringList idsOf(const QList<help::Hit>& hits) {
  QStringList out;
  for (const help::Hit& h : hits) out << h.id;
  return out;
}

}  // namespace

class TestHelpIndex : public QObject {
  Q_OBJECT
 private slots:
  // Turkish case folding both ways: dotted and dotless i are different letters
  // whatever their case, and every other letter matches in either case.
  void searchFoldsTurkish() {
    QTemporaryDir dir;
    const HelpIndex index = pagesOf(
        dir, {{QStringLiteral("isik"), QStringLiteral("# Işık\n\nTAHTANIN IŞIĞI ve İLK DERS.")},
              {QStringLiteral("il"), QStringLiteral("# İl\n\nİlçe ve il listesi; ÇÖĞÜŞ harfleri.")},
              {QStringLiteral("i"), QStringLiteral("# Başka\n\nBİLGİ ISLAK.")}});
    QCOMPARE(index.pages().size(), 3);
    QCOMPARE(idsOf(index.search(QStringLiteral("ışık"))), QStringList{QStringLiteral("isik")});
    QCOMPARE(idsOf(index.search(QStringLiteral("IŞIĞI"))), QStringList{QStringLiteral("isik")});
    QCOMPARE(idsOf(index.search(QStringLiteral("ilk"))), QStringList{QStringLiteral("isik")});
    QCOMPARE(idsOf(index.search(QStringLiteral("çöğüş"))), QStringList{QStringLiteral("il")});
    // "bilgi" is written BİLGİ; "islak" is not ISLAK (that reads "ıslak").
    QCOMPARE(idsOf(index.search(QStringLiteral("bilgi"))), QStringList{QStringLiteral("i")});
    QVERIFY(index.search(QStringLiteral("islak")).isEmpty());
    QCOMPARE(idsOf(index.search(QStringLiteral("ıslak"))), QStringList{QStringLiteral("i")});
    QCOMPARE(HelpIndex::fold(QStringLiteral("İSTANBUL IRMAK")), QStringLiteral("istanbul ırmak"));
  }

  // Every word must be on the page; a page whose title holds the words comes
  // first; the excerpt shows the place in the page's own letters; an empty
  // search finds nothing.
  void searchWordsRankAndExcerpt() {
    QTemporaryDir dir;
    const HelpIndex index = pagesOf(
        dir, {{QStringLiteral("a"), QStringLiteral("# Raporlar\n\nBir uygulamanın Kumanda "
                                                   "sonuçları burada; rapor açılır.")},
              {QStringLiteral("b"), QStringLiteral("# Kumanda Tanımlama\n\nKumanda kaydı. Rapor "
                                                   "yok ama kumanda eşleşmesi var.")},
              {QStringLiteral("c"), QStringLiteral("# Oyun\n\nKumanda yarışı.")}});
    QCOMPARE(idsOf(index.search(QStringLiteral("kumanda"))),
             (QStringList{QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("c")}));
    QCOMPARE(idsOf(index.search(QStringLiteral("  kumanda   RAPOR "))),
             (QStringList{QStringLiteral("b"), QStringLiteral("a")}));
    const QList<help::Hit> hits = index.search(QStringLiteral("sonuçları"));
    QCOMPARE(hits.size(), 1);
    QCOMPARE(hits.first().title, QStringLiteral("Raporlar"));
    QVERIFY2(hits.first().excerpt.contains(QStringLiteral("Kumanda sonuçları")),
             qPrintable(hits.first().excerpt));
    QVERIFY(index.search(QStringLiteral("   ")).isEmpty());
    QVERIFY(index.search(QStringLiteral("kumanda yokbukelime")).isEmpty());
  }

  // What a reader sees is searched, not the Markdown behind it: link targets,
  // picture paths and marks find nothing; pictures and links are collected and a
  // link to a missing page is reported.
  void pagesParseMarkdown() {
    QTemporaryDir dir;
    const HelpIndex index = pagesOf(
        dir,
        {{QStringLiteral("a"),
          QStringLiteral("# Başlık\n\n![Ekran resmi](resim/a.png)\n\n| Tuş | İş |\n|---|---|\n"
                         "| **B** | sonraki |\n\nBakınız [öteki sayfa](b.md) ve [yok](c.md#x).\n"
                         "<!-- gizli not -->\n")},
         {QStringLiteral("b"), QStringLiteral("Başlıksız sayfa, [geri](a.md).")}});
    const help::Page* a = index.page(QStringLiteral("a"));
    QVERIFY(a);
    QCOMPARE(a->title, QStringLiteral("Başlık"));
    QCOMPARE(a->pictures, QStringList{QStringLiteral("resim/a.png")});
    QCOMPARE(a->links, (QStringList{QStringLiteral("b"), QStringLiteral("c")}));
    QCOMPARE(index.page(QStringLiteral("b"))->title, QStringLiteral("b"));
    QCOMPARE(index.brokenLinks(), QStringList{QStringLiteral("a → c")});
    QCOMPARE(index.pictures(), QStringList{QStringLiteral("resim/a.png")});
    for (const char* hidden : {"png", "b.md", "gizli", "**", "---"})
      QVERIFY2(index.search(QString::fromUtf8(hidden)).isEmpty(), hidden);
    QCOMPARE(idsOf(index.search(QStringLiteral("ekran resmi"))), QStringList{QStringLiteral("a")});
    QCOMPARE(idsOf(index.search(QStringLiteral("öteki sonraki"))),
             QStringList{QStringLiteral("a")});
  }

  // The program's own pages: all of them compiled in, linked without a broken
  // link, each screen's page saying what its buttons do and the mistakes made
  // there, and the first lesson in under ten steps.
  void builtInPages() {
    const HelpIndex built = HelpIndex::builtIn();
    const HelpIndex source = HelpIndex::fromFolder(QStringLiteral(DERSLIK_HELP_SOURCE));
    QStringList builtIds, sourceIds;
    for (const help::Page& p : built.pages()) builtIds << p.id;
    for (const help::Page& p : source.pages()) sourceIds << p.id;
    QCOMPARE(builtIds, sourceIds);  // a page missing from pages.cmake
    QVERIFY(built.has(QString::fromLatin1(HelpIndex::kContentsPage)));
    QVERIFY(built.has(QString::fromLatin1(HelpIndex::kGuidePage)));
    QCOMPARE(built.brokenLinks(), QStringList{});

    const QString contents = QString::fromLatin1(HelpIndex::kContentsPage);
    const QString guide = QString::fromLatin1(HelpIndex::kGuidePage);
    for (const help::Page& p : built.pages()) {
      QVERIFY2(p.title != p.id, qPrintable(p.id));
      // Every page can be reached from the contents.
      if (p.id != contents) QVERIFY2(built.page(contents)->links.contains(p.id), qPrintable(p.id));
      if (p.id == contents || p.id == guide) continue;
      QVERIFY2(p.markdown.contains(QStringLiteral("## Sık yapılan hatalar")), qPrintable(p.id));
      const QString mistakes = p.markdown.section(QStringLiteral("## Sık yapılan hatalar"), 1);
      QVERIFY2(mistakes.count(QRegularExpression(QStringLiteral("(?m)^- "))) >= 1,
               qPrintable(p.id));
      QVERIFY2(p.markdown.count(QStringLiteral("**")) >= 4, qPrintable(p.id));  // named buttons
    }
    const QString steps = built.page(guide)->markdown;
    const qsizetype n = steps.count(QRegularExpression(QStringLiteral("(?m)^\\d+\\. ")));
    QVERIFY2(n >= 5 && n < 10, qPrintable(QString::number(n)));
  }
};

QTEST_GUILESS_MAIN(TestHelpIndex)
#include "tst_help_index.moc"
