#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

#include "Bench.h"
#include "authoring/AutoSelection.h"
#include "authoring/BookletDocument.h"
#include "authoring/QuestionBank.h"
#include "authoring/QuestionSearch.h"
#include "authoring/RandomSource.h"
#include "authoring/TestCatalog.h"
#include "authoring/TestQuestions.h"
#include "authoring/TypedQuestion.h"
#include "store/Store.h"

namespace bench {

namespace {

constexpr int kBank = 100'000;
constexpr int kRepeats = 5;

// A data folder with a fresh database.
struct Folder {
  QTemporaryDir dir;
  store::Store store{dir.path()};
  Folder() {
    if (!store.open()) std::fprintf(stderr, "authoring bench: database not made\n");
  }
};

const char* const kLevels[] = {"5. SINIF", "6. SINIF", "7. SINIF", "8. SINIF"};
const char* const kCourses[] = {"MATEMATİK", "TÜRKÇE", "FEN BİLİMLERİ", "SOSYAL BİLGİLER",
                                "İNGİLİZCE"};

// 100,000 question rows in 4 levels, 5 courses and 20 units each, as a school
// bank after years of use (the rows only: a search never reads pictures).
void fillBank(store::Store& store) {
  store::Transaction tx(store);
  QSqlQuery q(store.db());
  q.prepare(
      QStringLiteral("INSERT INTO TABLESORU (SORUNO,SEVIYE,DERS,UNITE,DOGRUSIK,ZORLUK,SURE,"
                     "SORUICERIK,SILINDIMI) VALUES (?,?,?,?,?,?,?,?,'')"));
  for (int i = 1; i <= kBank; ++i) {
    q.addBindValue(QString::number(i));
    q.addBindValue(QString::fromUtf8(kLevels[i % 4]));
    q.addBindValue(QString::fromUtf8(kCourses[i % 5]));
    q.addBindValue(QStringLiteral("Ünite %1").arg(i % 20));
    q.addBindValue(QString(QChar(char16_t(u'A' + i % 5))));
    q.addBindValue(i % 3 ? QStringLiteral("Orta") : QStringLiteral("Zor"));
    q.addBindValue(QStringLiteral("60"));
    q.addBindValue(QStringLiteral("Soru %1: bir sayının yarısı kaçtır?").arg(i));
    if (!q.exec()) std::fprintf(stderr, "authoring bench: insert failed\n");
  }
  if (!tx.commit()) std::fprintf(stderr, "authoring bench: commit failed\n");
}

int readAll(store::Store& store, const store::Query& q) {
  Result<QSqlQuery> rows = store.exec(q.sql, q.params);
  int n = 0;
  if (!rows) return 0;
  while (rows.value().next()) {
    (void)rows.value().value(0);
    ++n;
  }
  return n;
}

QByteArray jpeg(int width, int height, int quality) {
  QImage image(width, height, QImage::Format_RGB32);
  QRandomGenerator gen(5);
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) line[x] = gen.generate() | 0xff000000u;
  }
  QBuffer b;
  b.open(QIODevice::WriteOnly);
  image.save(&b, "JPEG", quality);
  return b.data();
}

}  // namespace

void authoringBenchmarks() {
  const QString search = QStringLiteral("authoring.bank_search_100k");
  const QString searchAll = QStringLiteral("authoring.bank_search_100k_all");
  const QString select = QStringLiteral("authoring.auto_select_100_of_100k");
  const QString booklet = QStringLiteral("authoring.booklet_pdf_50");
  const QString save = QStringLiteral("authoring.save_question_2mb");
  if (selected(search) || selected(searchAll) || selected(select)) {
    Folder f;
    fillBank(f.store);
    // The teacher's usual search: a level and a course (about 5,000 questions).
    authoring::QuestionSearch s;
    s.curriculum.level = QStringLiteral("6. SINIF");
    s.curriculum.course = QStringLiteral("FEN BİLİMLERİ");
    int found = 0;
    measure(search, kBank, kRepeats, [&] { found = readAll(f.store, s.bankQuery()); });
    if (selected(search) && found == 0) std::fprintf(stderr, "authoring bench: nothing found\n");
    measure(searchAll, kBank, kRepeats,
            [&] { found = readAll(f.store, authoring::QuestionSearch{}.bankQuery()); });
    authoring::RandomSource random;
    QString test;
    measure(
        select, kBank, kRepeats,
        [&] {
          authoring::SelectionRow row;
          row.count = 100;
          const auto r = authoring::AutoSelection(f.store, random).run(test, row);
          if (!r || r->added != 100) std::fprintf(stderr, "authoring bench: selection failed\n");
        },
        [&] {
          authoring::Test t;
          t.testAdi = QStringLiteral("Seçim");
          test = authoring::TestCatalog(f.store).create(t).valueOr({});
        });
  }
  if (selected(booklet)) {
    Folder f;
    authoring::Test t;
    t.testAdi = QStringLiteral("Kitapçık");
    const QString test = authoring::TestCatalog(f.store).create(t).valueOr({});
    authoring::QuestionBank bank(f.store);
    QStringList keys;
    for (int i = 1; i <= 50; ++i) {
      authoring::TypedQuestion typed;
      typed.setStemText(QStringLiteral("%1. Bir bahçede %2 elma ağacı ve her ağaçta %3 elma "
                                       "vardır. Bahçede toplam kaç elma vardır?")
                            .arg(i)
                            .arg(i + 3)
                            .arg(i * 2));
      for (int c = 0; c < 5; ++c) typed.setChoice(c, QString::number((i + 3) * i * 2 + c));
      authoring::Question q;
      q.dogruSik = QStringLiteral("A");
      keys << bank.add(q, {typed.picture().valueOr({}), {}}).valueOr({});
    }
    if (!authoring::TestQuestions(f.store).add(test, keys))
      std::fprintf(stderr, "authoring bench: test not made\n");
    authoring::BookletOptions options;
    options.answerKey = true;
    const QString out = f.dir.filePath(QStringLiteral("kitapcik.pdf"));
    measure(booklet, 50, kRepeats, [&] {
      if (!authoring::BookletDocument(f.store).write(test, out, options))
        std::fprintf(stderr, "authoring bench: booklet failed\n");
    });
  }
  if (selected(save)) {
    Folder f;
    const QByteArray picture = jpeg(1400, 1000, 97);  // about 2 MB
    authoring::QuestionBank bank(f.store);
    measure(save, picture.size(), kRepeats * 2, [&] {
      authoring::Question q;
      q.dogruSik = QStringLiteral("B");
      if (!bank.add(q, {picture, {}})) std::fprintf(stderr, "authoring bench: save failed\n");
    });
  }
}

}  // namespace bench
