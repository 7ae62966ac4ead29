#include "cards/CardSheets.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "cards/CardFace.h"

namespace cards {

namespace {

// Short lines just outside each corner of `card`: where to cut.
void cuttingMarks(QPainter& p, const QRectF& card, double length, double gap) {
  const QPointF corners[] = {card.topLeft(), card.topRight(), card.bottomRight(),
                             card.bottomLeft()};
  for (const QPointF& c : corners) {
    const double sx = c.x() < card.center().x() ? -1 : 1;
    const double sy = c.y() < card.center().y() ? -1 : 1;
    p.drawLine(QPointF(c.x() + sx * gap, c.y()), QPointF(c.x() + sx * (gap + length), c.y()));
    p.drawLine(QPointF(c.x(), c.y() + sy * gap), QPointF(c.x(), c.y() + sy * (gap + length)));
  }
}

}  // namespace

Status writeCardSheets(const QString& path, const QString& className,
                       const QList<CardHolder>& holders, SheetSize size) {
  if (holders.isEmpty())
    return Status::failure(
        QStringLiteral("%1 sınıfında kartı yazdırılacak öğrenci yok.").arg(className));
  QPdfWriter pdf(path);
  pdf.setCreator(QStringLiteral("Derslik"));
  pdf.setTitle(QStringLiteral("%1 cevap kartları").arg(className));
  pdf.setResolution(300);
  const bool a4 = size == SheetSize::A4;
  pdf.setPageLayout(QPageLayout(QPageSize(a4 ? QPageSize::A4 : QPageSize::A5),
                                QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  QPainter p;
  if (!p.begin(&pdf)) return Status::failure(QStringLiteral("%1 dosyası yazılamadı.").arg(path));
  const double mm = pdf.resolution() / 25.4;
  const double pageW = (a4 ? 210.0 : 148.0) * mm;
  const double halfH = (a4 ? 148.5 : 210.0) * mm;
  // A card as large as an A5 sheet allows with room for the marks.
  const double side = 128.0 * mm;
  QPen pen(Qt::black);
  pen.setWidthF(0.2 * mm);
  const int perPage = a4 ? 2 : 1;
  for (int i = 0; i < holders.size(); ++i) {
    if (i > 0 && i % perPage == 0) pdf.newPage();
    const CardHolder& h = holders.at(i);
    const int slot = i % perPage;
    const QRectF area(0, slot * halfH, pageW, halfH);
    const QRectF card(area.center().x() - side / 2, area.center().y() - side / 2, side, side);
    const QString caption = QStringLiteral("%1 %2\n%3 · Kart %4")
                                .arg(h.student.name, h.student.surname, className)
                                .arg(h.card);
    paintCard(p, card, h.card, caption);
    p.setPen(pen);
    cuttingMarks(p, card, 6 * mm, 2 * mm);
    if (a4 && slot == 0) {
      // The middle of the sheet, marked at both edges.
      p.drawLine(QPointF(0, halfH), QPointF(8 * mm, halfH));
      p.drawLine(QPointF(pageW - 8 * mm, halfH), QPointF(pageW, halfH));
    }
  }
  if (!p.end()) return Status::failure(QStringLiteral("%1 dosyası yazılamadı.").arg(path));
  if (!QFile::exists(path))
    return Status::failure(QStringLiteral("%1 dosyası yazılamadı.").arg(path));
  return {};
}

Result<QList<CardHolder>> printClassCards(store::Store& store, const QString& className,
                                          const QString& path, SheetSize size) {
  using R = Result<QList<CardHolder>>;
  if (!QFileInfo(path).absoluteDir().exists())
    return R::failure(QStringLiteral("Klasör bulunamadı: %1").arg(QFileInfo(path).absolutePath()));
  CardNumbers numbers(store);
  const Result<QList<CardHolder>> before = numbers.classCards(className);
  if (!before) return before;
  if (before->isEmpty())
    return R::failure(QStringLiteral("%1 sınıfında öğrenci yok.").arg(className));
  Result<QList<CardHolder>> holders = numbers.giveCards(className);
  if (!holders) return holders;
  if (Status s = writeCardSheets(path, className, holders.value(), size); !s)
    return R::failure(s.error());
  return holders;
}

}  // namespace cards
