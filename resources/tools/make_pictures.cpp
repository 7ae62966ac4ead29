// Draws the built-in pictures in ../kaynak: the blank question and solution pages
// (white 1024x768 with a faint centred word) and the placeholder student photo.
// Not part of the build; run once after a change and commit the output:
//   g++ -std=c++20 -fPIC make_pictures.cpp $(pkg-config --cflags --libs Qt6Gui) -o
//   /tmp/make_pictures QT_QPA_PLATFORM=offscreen /tmp/make_pictures ../kaynak
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

bool blankPage(const QString& path, const QString& hint) {
  QImage page(1024, 768, QImage::Format_RGB32);
  page.fill(Qt::white);
  QPainter p(&page);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(96);
  p.setFont(font);
  p.setPen(QColor(0xEE, 0xEE, 0xEE));
  p.drawText(page.rect(), Qt::AlignCenter, hint);
  p.end();
  return page.save(path, "JPG", 80);
}

bool placeholderPhoto(const QString& path) {
  QImage photo(240, 300, QImage::Format_RGB32);
  photo.fill(QColor(0xEC, 0xEF, 0xF1));
  QPainter p(&photo);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xB0, 0xBE, 0xC5));
  p.drawEllipse(QPointF(120, 105), 52, 58);  // head
  QPainterPath body;
  body.moveTo(30, 300);
  body.cubicTo(30, 205, 80, 180, 120, 180);
  body.cubicTo(160, 180, 210, 205, 210, 300);
  body.closeSubpath();
  p.drawPath(body);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(20);
  font.setBold(true);
  p.setFont(font);
  p.setPen(QColor(0x54, 0x6E, 0x7A));
  p.drawText(QRect(0, 252, 240, 40), Qt::AlignCenter, QStringLiteral("Resim yok"));
  p.end();
  return photo.save(path, "JPG", 85);
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
  const bool ok =
      blankPage(out.filePath(QStringLiteral("BosSoru.jpg")), QStringLiteral("Soru")) &&
      blankPage(out.filePath(QStringLiteral("BosCozum.jpg")), QStringLiteral("Çözüm")) &&
      placeholderPhoto(out.filePath(QStringLiteral("ResimYok.jpg")));
  return ok ? 0 : 1;
}
