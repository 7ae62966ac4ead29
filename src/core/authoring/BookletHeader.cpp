#include "authoring/BookletHeader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "formats/ZipArchive.h"

namespace authoring::bookletheader {

namespace {

// The paragraphs of an OpenDocument text, each as an HTML paragraph.
Result<QByteArray> fromOdt(const QString& path) {
  formats::ArchiveReader reader(path);
  QByteArray xml;
  while (reader.next()) {
    if (reader.name() != QStringLiteral("content.xml")) continue;
    Result<QByteArray> data = reader.read();
    if (!data) return Result<QByteArray>::failure(data.error());
    xml = data.value();
    break;
  }
  if (!reader.error().isEmpty()) return Result<QByteArray>::failure(reader.error());
  if (xml.isEmpty())
    return Result<QByteArray>::failure(QStringLiteral("Belge okunamadı (content.xml yok): ") +
                                       path);
  QXmlStreamReader x(xml);
  QStringList paragraphs;
  QString current;
  int depth = 0;  // inside text:p / text:h
  while (!x.atEnd()) {
    x.readNext();
    const QStringView name = x.name();
    if (x.isStartElement()) {
      if (name == u"p" || name == u"h") {
        ++depth;
        if (depth == 1) current.clear();
      } else if (depth > 0 && name == u"tab") {
        current += QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;");
      } else if (depth > 0 && name == u"line-break") {
        current += QStringLiteral("<br>");
      } else if (depth > 0 && name == u"s") {
        const int n = std::max(1, x.attributes().value(QStringLiteral("text:c")).toInt());
        current += QStringLiteral("&nbsp;").repeated(n);
      }
    } else if (x.isEndElement() && (name == u"p" || name == u"h")) {
      if (--depth == 0) paragraphs << QStringLiteral("<p>") + current + QStringLiteral("</p>");
    } else if (x.isCharacters() && depth > 0) {
      current += x.text().toString().toHtmlEscaped();
    }
  }
  if (x.hasError())
    return Result<QByteArray>::failure(
        QStringLiteral("Belge okunamadı (%1): %2").arg(x.errorString(), path));
  return (QStringLiteral("<html><body>") + paragraphs.join(QString()) +
          QStringLiteral("</body></html>"))
      .toUtf8();
}

// The first page of a PDF as a picture.
Result<QByteArray> fromPdf(const QString& path) {
  const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
  if (tool.isEmpty())
    return Result<QByteArray>::failure(QStringLiteral(
        "PDF başlık sayfası okunamadı: pdftoppm bulunamadı (poppler-utils paketini kurunuz)."));
  QTemporaryDir dir;
  if (!dir.isValid())
    return Result<QByteArray>::failure(QStringLiteral("Geçici klasör açılamadı."));
  QProcess p;
  p.start(tool,
          {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("200"),
           QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
           QStringLiteral("-singlefile"), path, dir.filePath(QStringLiteral("baslik"))});
  if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
    return Result<QByteArray>::failure(
        QStringLiteral("PDF başlık sayfası okunamadı (%1): %2")
            .arg(QString::fromLocal8Bit(p.readAllStandardError()).trimmed(), path));
  QFile png(dir.filePath(QStringLiteral("baslik.png")));
  if (!png.open(QIODevice::ReadOnly))
    return Result<QByteArray>::failure(QStringLiteral("PDF başlık sayfası okunamadı: ") + path);
  return png.readAll();
}

}  // namespace

QString caption(HeaderPlacement placement) {
  switch (placement) {
    case HeaderPlacement::FirstPage:
      return QStringLiteral("Başlık Sadece İlk Sayfada Olsun");
    case HeaderPlacement::EveryPage:
      return QStringLiteral("Başlık Her Sayfanın Başında Olsun");
    case HeaderPlacement::None:
      return QStringLiteral("Başlık Olmasın");
  }
  return {};
}

std::optional<HeaderPlacement> fromWord(const QString& word) {
  if (word == QStringLiteral("first")) return HeaderPlacement::FirstPage;
  if (word == QStringLiteral("every")) return HeaderPlacement::EveryPage;
  if (word == QStringLiteral("none")) return HeaderPlacement::None;
  return {};
}

bool isPicture(const QByteArray& stored) {
  QBuffer buffer;
  buffer.setData(stored);
  buffer.open(QIODevice::ReadOnly);
  return QImageReader(&buffer).canRead();
}

Result<QByteArray> fromFile(const QString& path) {
  const QFileInfo info(path);
  if (!info.isFile())
    return Result<QByteArray>::failure(QStringLiteral("Dosya bulunamadı: ") + path);
  const QString suffix = info.suffix().toLower();
  if (suffix == QStringLiteral("odt")) return fromOdt(path);
  if (suffix == QStringLiteral("pdf")) return fromPdf(path);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return Result<QByteArray>::failure(QStringLiteral("Dosya okunamadı: ") + path);
  const QByteArray bytes = file.readAll();
  if (isPicture(bytes)) return bytes;
  if (suffix == QStringLiteral("html") || suffix == QStringLiteral("htm")) return bytes;
  if (suffix == QStringLiteral("txt"))
    return (QStringLiteral("<html><body><p>") +
            QString::fromUtf8(bytes).toHtmlEscaped().replace(QLatin1Char('\n'),
                                                             QStringLiteral("<br>")) +
            QStringLiteral("</p></body></html>"))
        .toUtf8();
  return Result<QByteArray>::failure(
      QStringLiteral("Başlık olarak bir resim, .odt, .pdf, .html ya da .txt dosyası seçiniz: ") +
      path);
}

QString defaultHtml(const QString& school, const QString& testName) {
  QString title;
  for (const QString& line : {school.trimmed(), testName.trimmed()})
    if (!line.isEmpty())
      title += QStringLiteral("<p align=\"center\"><b>%1</b></p>").arg(line.toHtmlEscaped());
  return QStringLiteral(
             "<html><body>%1<p>Adı Soyadı: ..................................................&nbsp;"
             "&nbsp;&nbsp;Numarası: ..............&nbsp;&nbsp;&nbsp;Sınıfı: ..........</p><hr>"
             "</body></html>")
      .arg(title);
}

}  // namespace authoring::bookletheader
