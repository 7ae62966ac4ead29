#include "formats/DocumentFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QScreen>
#include <QTextDocument>
#include <QTextDocumentWriter>

#include <memory>

namespace formats {

namespace {

QString failed(const QString& path, const QString& reason = {}) {
  QString text = QStringLiteral("Dosya oluşturulamadı: ") + QDir::toNativeSeparators(path);
  if (!reason.isEmpty()) text += QStringLiteral(" (") + reason + QLatin1Char(')');
  return text;
}

// The part file beside `path`, moved over it once written.
QString partPath(const QString& path) { return path + QStringLiteral(".yaziliyor"); }

Status finish(const QString& path) {
  const QString part = partPath(path);
  if (!QFileInfo(part).isFile() || QFileInfo(part).size() == 0) {
    QFile::remove(part);
    return Status::failure(failed(path));
  }
  if (QFileInfo::exists(path) && !QFile::remove(path)) {
    QFile::remove(part);
    return Status::failure(failed(path, QStringLiteral("eski dosya silinemedi; açık olabilir")));
  }
  if (!QFile::rename(part, path)) {
    QFile::remove(part);
    return Status::failure(failed(path));
  }
  return {};
}

bool prepareFolder(const QString& path) { return QDir().mkpath(QFileInfo(path).absolutePath()); }

const QMarginsF kMargins(15, 15, 15, 15);  // millimetres

QPageLayout a4(QPageLayout::Orientation orientation) {
  return QPageLayout(QPageSize(QPageSize::A4), orientation, kMargins, QPageLayout::Millimeter);
}

// A document without a paint device lays out in pixels of the screen's dpi.
double layoutDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->logicalDotsPerInch() : 96.0;
}

QSizeF textArea(QPageLayout::Orientation orientation) {
  const QRectF points = a4(orientation).paintRect(QPageLayout::Point);
  return points.size() * (layoutDpi() / 72.0);
}

}  // namespace

Status writeOdt(const QTextDocument& document, const QString& path) {
  if (!prepareFolder(path)) return Status::failure(failed(path, QStringLiteral("klasör yok")));
  {
    QTextDocumentWriter writer(partPath(path), QByteArrayLiteral("odf"));
    if (!writer.write(&document)) {
      QFile::remove(partPath(path));
      return Status::failure(failed(path));
    }
  }
  return finish(path);
}

Status writePdf(const QTextDocument& document, const QString& path) {
  if (!prepareFolder(path)) return Status::failure(failed(path, QStringLiteral("klasör yok")));
  {
    QPdfWriter writer(partPath(path));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(kMargins, QPageLayout::Millimeter);
    writer.setCreator(QStringLiteral("Derslik"));
    document.print(&writer);
  }
  return finish(path);
}

double pdfTextWidth(QPageLayout::Orientation orientation) { return textArea(orientation).width(); }

Status writePdf(const QTextDocument& document, const QString& path,
                QPageLayout::Orientation orientation) {
  if (!prepareFolder(path)) return Status::failure(failed(path, QStringLiteral("klasör yok")));
  {
    // A page size of its own makes the document paginated: printing then scales
    // its pages onto the paper instead of adding another two centimetres a side.
    std::unique_ptr<QTextDocument> paged(document.clone());
    paged->setPageSize(textArea(orientation));
    QPdfWriter writer(partPath(path));
    writer.setPageLayout(a4(orientation));
    writer.setCreator(QStringLiteral("Derslik"));
    paged->print(&writer);
  }
  return finish(path);
}

Status writeDocument(const QTextDocument& document, const QString& path) {
  if (path.endsWith(QStringLiteral(".odt"), Qt::CaseInsensitive)) return writeOdt(document, path);
  if (path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) return writePdf(document, path);
  return Status::failure(QStringLiteral("Belge .odt ya da .pdf uzantılı olmalıdır: ") +
                         QFileInfo(path).fileName());
}

}  // namespace formats
