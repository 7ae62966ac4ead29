#include "formats/DocumentFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
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
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    writer.setCreator(QStringLiteral("Derslik"));
    document.print(&writer);
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
