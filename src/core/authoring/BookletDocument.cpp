#include "authoring/BookletDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QTextTable>

#include "authoring/QuestionBank.h"
#include "authoring/TestCatalog.h"
#include "authoring/TestQuestions.h"
#include "authoring/TypedQuestion.h"
#include "store/Store.h"

namespace authoring {

namespace {

// The document is laid out in pixels of 96 per inch on a page of pageLayout().
constexpr qreal kDpi = 96.0;
constexpr qreal kMarginMm = 20.0;
constexpr qreal kGutter = 18.0;
constexpr qreal kFill = 0.96;  // of a page's height, room left for rounding
constexpr int kKeyColumns = 10;
// Typed questions are set again for the page in one body size (11 pt, the
// captions' size), drawn at three times the layout's resolution for print.
constexpr qreal kTypedPoints = 11.0;
constexpr int kTypedSharpness = 3;

qreal mmToPx(qreal mm) { return mm / 25.4 * kDpi; }

QSizeF textArea() {
  const QRectF r = BookletDocument::pageLayout().paintRect(QPageLayout::Millimeter);
  return {mmToPx(r.width()), mmToPx(r.height())};
}

// Gives the document (and the measuring copies) a paint device of 96 dpi, so
// point sizes mean the same on every screen and print() maps the page whole.
class DpiDevice : public QObject {
 public:
  explicit DpiDevice(QObject* parent) : QObject(parent), m_image(1, 1, QImage::Format_RGB32) {
    m_image.setDotsPerMeterX(qRound(kDpi / 0.0254));
    m_image.setDotsPerMeterY(qRound(kDpi / 0.0254));
  }
  QPaintDevice* device() { return &m_image; }

 private:
  QImage m_image;
};

void prepare(QTextDocument& doc) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPointSizeF(10);
  doc.setDefaultFont(font);
  doc.setDocumentMargin(0);
  doc.documentLayout()->setPaintDevice((new DpiDevice(&doc))->device());
}

struct Item {
  int number = 0;
  QString letter;
  QString resource;  // the picture's name in the document
  QImage picture;
  std::optional<TypedQuestion> typed;
  bool jpeg = false;
  QSizeF shown;
};

QTextCharFormat captionFormat() {
  QTextCharFormat f;
  f.setFontFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
  f.setFontPointSize(11);
  f.setFontWeight(QFont::Bold);
  return f;
}

// "Soru <i> :" and the picture, starting in the cursor's (empty) block.
void insertItem(QTextCursor& c, const Item& item) {
  QTextBlockFormat caption;
  caption.setTopMargin(6);
  caption.setBottomMargin(3);
  c.mergeBlockFormat(caption);
  c.insertText(QStringLiteral("Soru %1 :").arg(item.number), captionFormat());
  QTextBlockFormat picture;
  picture.setBottomMargin(10);
  c.insertBlock(picture, QTextCharFormat());
  if (item.picture.isNull()) {
    c.insertText(QStringLiteral("(Soru resmi bulunamadı)"));
    return;
  }
  QTextImageFormat image;
  image.setName(item.resource);
  image.setWidth(item.shown.width());
  image.setHeight(item.shown.height());
  image.setQuality(item.jpeg ? 90 : 100);
  c.insertImage(image);
}

QTextTableFormat columnsFormat(int columns) {
  QTextTableFormat t;
  t.setBorder(0);
  t.setBorderStyle(QTextFrameFormat::BorderStyle_None);
  t.setCellSpacing(0);
  t.setCellPadding(kGutter / 4);
  t.setWidth(QTextLength(QTextLength::PercentageLength, 100));
  QList<QTextLength> widths;
  for (int i = 0; i < columns; ++i)
    widths << QTextLength(QTextLength::PercentageLength, 100.0 / columns);
  t.setColumnWidthConstraints(widths);
  return t;
}

// A row of two questions in a table that starts in the cursor's block.
void insertRow(QTextTable* table, int row, const QList<const Item*>& items) {
  for (qsizetype col = 0; col < items.size(); ++col) {
    QTextCursor cell = table->cellAt(row, int(col)).firstCursorPosition();
    insertItem(cell, *items.at(col));
  }
}

// The height of what `fill` puts into an empty document of the given width.
qreal measure(qreal width, const std::function<void(QTextCursor&)>& fill) {
  QTextDocument doc;
  prepare(doc);
  doc.setTextWidth(width);
  QTextCursor c(&doc);
  fill(c);
  return doc.size().height();
}

// The header: a picture at the text width (at most its own size, at most 40% of
// a page), or an HTML document.
struct Header {
  QImage picture;
  QString html;
  QSizeF shown;
  qreal height = 0;
  bool present() const { return !picture.isNull() || !html.isEmpty(); }
};

void insertHeader(QTextCursor& c, const Header& h) {
  if (!h.picture.isNull()) {
    QTextImageFormat image;
    image.setName(QStringLiteral("baslik"));
    image.setWidth(h.shown.width());
    image.setHeight(h.shown.height());
    c.insertImage(image);
    QTextBlockFormat after;
    after.setBottomMargin(8);
    c.mergeBlockFormat(after);
  } else {
    // Block by block: inserting the HTML as a fragment would drop the format
    // (centring) of its first paragraph.
    QTextDocument source;
    source.setHtml(h.html);
    bool first = true;
    for (QTextBlock b = source.begin(); b.isValid(); b = b.next()) {
      if (first)
        c.mergeBlockFormat(b.blockFormat());
      else
        c.insertBlock(b.blockFormat(), b.charFormat());
      first = false;
      for (auto it = b.begin(); !it.atEnd(); ++it)
        c.insertText(it.fragment().text(), it.fragment().charFormat());
    }
  }
}

void insertCover(QTextCursor& c, Booklet booklet) {
  QTextBlockFormat f;
  f.setAlignment(Qt::AlignCenter);
  f.setBottomMargin(6);
  c.mergeBlockFormat(f);
  QTextCharFormat ch;
  ch.setFontPointSize(13);
  ch.setFontWeight(QFont::Bold);
  c.insertText(booklets::letter(booklet) + QStringLiteral(" KİTAPÇIĞI"), ch);
}

// Starts a page: a new block, after a page break unless it is the first page.
void newPageBlock(QTextCursor& c, bool first) {
  if (first) return;
  QTextBlockFormat f;
  f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
  c.insertBlock(f, QTextCharFormat());
}

}  // namespace

QPageLayout BookletDocument::pageLayout() {
  return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                     QPageLayout::Millimeter);
}

QString BookletDocument::defaultName(const QDateTime& now) {
  return QStringLiteral("Kitapcik %1-%2")
      .arg(now.toString(QStringLiteral("ddMMyyyy")), now.toString(QStringLiteral("HHmmss")));
}

QString BookletDocument::fileNameFor(const QString& path, Booklet booklet) {
  if (booklet == Booklet::A) return path;
  const QFileInfo info(path);
  const QString base = info.completeBaseName() + QLatin1Char(' ') + booklets::letter(booklet);
  return info.dir().filePath(info.suffix().isEmpty() ? base
                                                     : base + QLatin1Char('.') + info.suffix());
}

QString BookletDocument::progressText(int n, int i) {
  return QStringLiteral("%1 Kayıttan %2. Kayıt Ekleniyor").arg(n).arg(i);
}

Result<std::unique_ptr<QTextDocument>> BookletDocument::build(const QString& testNo,
                                                              const BookletOptions& options,
                                                              const Progress& progress) {
  using R = Result<std::unique_ptr<QTextDocument>>;
  TestCatalog catalog(m_store);
  const Result<Test> test = catalog.load(testNo);
  if (!test) return R::failure(test.error());
  const Result<QList<TestQuestion>> rows = TestQuestions(m_store).list(testNo);
  if (!rows) return R::failure(rows.error());
  if (rows->isEmpty()) return R::failure(noQuestionsMessage());
  const int n = int(rows->size());

  // The A position shown at each booklet position.
  QList<int> order;
  for (int k = 1; k <= n; ++k) order << k;
  if (options.booklet != Booklet::A) {
    const BookletOrders orders(m_store);
    const Result<bool> on = orders.exists(testNo, options.booklet);
    if (!on) return R::failure(on.error());
    if (!on.value())
      return R::failure(QStringLiteral("%1 kitapçığı tanımlı değil; önce cevap anahtarı "
                                       "penceresinde sırasını giriniz.")
                            .arg(booklets::letter(options.booklet)));
    const Result<QList<int>> stored = orders.order(testNo, options.booklet);
    if (!stored) return R::failure(stored.error());
    if (const QString p = booklets::orderProblem(options.booklet, stored.value(), n); !p.isEmpty())
      return R::failure(p);
    order = stored.value();
  }
  // TESTSIRANO may have gaps in older data: the i-th row is A position i.
  const QSizeF area = textArea();
  QList<Item> items;
  const QuestionBank bank(m_store);
  for (int k = 1; k <= n; ++k) {
    if (progress) progress(progressText(n, k), k, n);
    const TestQuestion& row = rows->at(order.at(k - 1) - 1);
    Item item;
    item.number = k;
    item.letter = row.dogruSik;
    item.resource = QStringLiteral("soru%1").arg(k);
    const Result<QuestionPictures> pictures = bank.pictures(row.soruNo);
    if (!pictures) return R::failure(pictures.error());
    item.jpeg = pictures->question.startsWith("\xff\xd8");
    item.picture = QImage::fromData(pictures->question);
    item.typed = TypedQuestion::fromPicture(pictures->question);
    items << item;
  }

  // Two columns when every picture fits a column at its own size.
  const qreal columnWidth = (area.width() - kGutter) / 2;
  bool two = options.columns == BookletOptions::Columns::Two;
  if (options.columns == BookletOptions::Columns::Auto) {
    two = true;
    for (const Item& item : items) {
      if (item.picture.isNull() || item.typed) continue;  // typed text flows into a column
      const qreal dpm = item.picture.dotsPerMeterX();
      const qreal dpi = dpm > 50 / 0.0254 && dpm < 1200 / 0.0254 ? dpm * 0.0254 : kDpi;
      two = two && item.picture.width() * kDpi / dpi <= columnWidth;
    }
  }
  const qreal width = two ? columnWidth : area.width();
  for (Item& item : items) {
    if (item.picture.isNull()) continue;
    if (item.typed) {
      const int fontPixels = qRound(kTypedPoints / 72.0 * kDpi * kTypedSharpness);
      Result<QImage> set = item.typed->renderAt(int(width * kTypedSharpness), fontPixels);
      if (set) {
        item.picture = std::move(set.value());
        QSizeF s(width, qreal(item.picture.height()) / kTypedSharpness);
        // Only a question longer than a whole page gives up the common size.
        if (s.height() > area.height() * kFill) s *= area.height() * kFill / s.height();
        item.shown = s;
        continue;
      }
    }
    QSizeF s(width, width * item.picture.height() / item.picture.width());
    if (s.height() > area.height() * 0.8) s *= area.height() * 0.8 / s.height();
    item.shown = s;
  }

  Header header;
  if (options.header != HeaderPlacement::None) {
    const Result<QByteArray> stored = catalog.header(testNo);
    if (!stored) return R::failure(stored.error());
    if (!stored->isEmpty() && bookletheader::isPicture(stored.value())) {
      header.picture = QImage::fromData(stored.value());
      QSizeF s(std::min<qreal>(area.width(), header.picture.width()), 0);
      s.setHeight(s.width() * header.picture.height() / std::max(1, header.picture.width()));
      if (s.height() > area.height() * 0.4) s *= area.height() * 0.4 / s.height();
      header.shown = s;
    } else {
      header.html = stored->isEmpty()
                        ? bookletheader::defaultHtml(m_store.institution().name, test->testAdi)
                        : QString::fromUtf8(stored.value());
    }
    header.height = measure(area.width(), [&](QTextCursor& c) { insertHeader(c, header); });
  }
  const qreal coverHeight =
      measure(area.width(), [&](QTextCursor& c) { insertCover(c, options.booklet); });

  // Pages: what fits under the page's header, one question (or row of two) at a time.
  QList<QList<QList<const Item*>>> pages{{}};
  const qreal pageHeader = options.header == HeaderPlacement::EveryPage ? header.height : 0;
  qreal used = coverHeight + (options.header != HeaderPlacement::None ? header.height : 0);
  for (qsizetype i = 0; i < items.size(); i += two ? 2 : 1) {
    QList<const Item*> row{&items.at(i)};
    if (two && i + 1 < items.size()) row << &items.at(i + 1);
    const qreal h =
        two ? measure(
                  area.width(),
                  [&](QTextCursor& c) { insertRow(c.insertTable(1, 2, columnsFormat(2)), 0, row); })
            : measure(area.width(), [&](QTextCursor& c) { insertItem(c, *row.first()); });
    if (!pages.last().isEmpty() && used + h > area.height() * kFill) {
      pages << QList<QList<const Item*>>();
      used = pageHeader;
    }
    pages.last() << row;
    used += h;
  }

  auto doc = std::make_unique<QTextDocument>();
  prepare(*doc);
  doc->setMetaInformation(QTextDocument::DocumentTitle, test->testAdi);
  doc->setPageSize(area);
  for (const Item& item : items)
    if (!item.picture.isNull())
      doc->addResource(QTextDocument::ImageResource, QUrl(item.resource), item.picture);
  if (!header.picture.isNull())
    doc->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("baslik")), header.picture);

  QTextCursor c(doc.get());
  for (qsizetype p = 0; p < pages.size(); ++p) {
    newPageBlock(c, p == 0);
    const int pageStart = c.position();
    if (p == 0) {
      insertCover(c, options.booklet);
      c.insertBlock(QTextBlockFormat(), QTextCharFormat());
    }
    const bool withHeader =
        header.present() && (p == 0 || options.header == HeaderPlacement::EveryPage);
    if (withHeader) {
      insertHeader(c, header);
      c.insertBlock(QTextBlockFormat(), QTextCharFormat());
    }
    const QList<QList<const Item*>>& rowsOfPage = pages.at(p);
    if (two) {
      QTextTable* table = c.insertTable(int(rowsOfPage.size()), 2, columnsFormat(2));
      for (qsizetype r = 0; r < rowsOfPage.size(); ++r) insertRow(table, int(r), rowsOfPage.at(r));
      c = table->lastCursorPosition();
      c.movePosition(QTextCursor::NextBlock);
    } else {
      for (qsizetype r = 0; r < rowsOfPage.size(); ++r) {
        if (r > 0) c.insertBlock(QTextBlockFormat(), QTextCharFormat());
        insertItem(c, *rowsOfPage.at(r).first());
      }
    }
    if (p > 0) {
      // Whatever went into the page's first block, it still begins a page.
      QTextCursor first(doc.get());
      first.setPosition(pageStart);
      QTextBlockFormat pageBreak;
      pageBreak.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
      first.mergeBlockFormat(pageBreak);
    }
  }
  if (options.answerKey) {
    QTextBlockFormat heading;
    heading.setTopMargin(14);
    heading.setBottomMargin(6);
    QTextCharFormat bold;
    bold.setFontPointSize(12);
    bold.setFontWeight(QFont::Bold);
    c.insertBlock(heading, bold);
    c.insertText(keyHeading(), bold);
    c.insertBlock(QTextBlockFormat(), QTextCharFormat());
    const int keyRows = (n + kKeyColumns - 1) / kKeyColumns;
    QTextTable* key = c.insertTable(keyRows, kKeyColumns, columnsFormat(kKeyColumns));
    for (int k = 0; k < n; ++k) {
      QTextCursor cell = key->cellAt(k / kKeyColumns, k % kKeyColumns).firstCursorPosition();
      cell.insertText(QStringLiteral("%1-%2").arg(k + 1).arg(items.at(k).letter));
    }
  }
  return doc;
}

Status BookletDocument::write(const QString& testNo, const QString& path,
                              const BookletOptions& options, const Progress& progress) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix != QStringLiteral("pdf") && suffix != QStringLiteral("odt"))
    return Status::failure(QStringLiteral("Kitapçık .pdf ya da .odt dosyası olarak kaydedilir."));
  Result<std::unique_ptr<QTextDocument>> doc = build(testNo, options, progress);
  if (!doc) return Status::failure(doc.error());
  // Both writers may close their device: they write to memory, the file is
  // written whole afterwards.
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  if (suffix == QStringLiteral("odt")) {
    QTextDocumentWriter writer(&buffer, "odf");
    if (!writer.write(doc->get()))
      return Status::failure(QStringLiteral("Belge yazılamadı: ") + path);
  } else {
    QPdfWriter pdf(&buffer);
    pdf.setPageLayout(pageLayout());
    pdf.setResolution(300);
    pdf.setTitle(doc.value()->metaInformation(QTextDocument::DocumentTitle));
    pdf.setCreator(QStringLiteral("Derslik"));
    doc.value()->print(&pdf);
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(buffer.data()) != buffer.data().size())
    return Status::failure(
        QStringLiteral("Dosya yazılamadı: %1 (%2)").arg(path, file.errorString()));
  if (!file.commit())
    return Status::failure(
        QStringLiteral("Dosya yazılamadı: %1 (%2)").arg(path, file.errorString()));
  return {};
}

}  // namespace authoring
