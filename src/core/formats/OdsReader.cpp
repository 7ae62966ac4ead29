#include "formats/OdsReader.h"

#include <QXmlStreamReader>

#include "formats/ZipArchive.h"

namespace formats {

namespace {

using R = Result<Workbook>;

// Files written by office suites repeat the empty cells and rows up to the sheet's
// edge (a million rows); repetitions are only materialised when content follows.
constexpr int kMaxRepeat = 100000;

int repeatOf(const QXmlStreamAttributes& attrs, const QString& name) {
  bool ok = false;
  const int n = attrs.value(name).toInt(&ok);
  return ok && n > 1 ? n : 1;
}

// The text of a cell: paragraphs joined by line breaks, <text:s> as spaces.
QString cellText(QXmlStreamReader& xml) {
  QString text;
  int paragraphs = 0;
  int depth = 1;
  while (!xml.atEnd() && depth > 0) {
    xml.readNext();
    if (xml.isStartElement()) {
      ++depth;
      const QStringView n = xml.name();
      if (n == QStringLiteral("p")) {
        if (paragraphs++ > 0) text += QLatin1Char('\n');
      } else if (n == QStringLiteral("s")) {
        text += QString(repeatOf(xml.attributes(), QStringLiteral("text:c")), QLatin1Char(' '));
      } else if (n == QStringLiteral("tab")) {
        text += QLatin1Char('\t');
      } else if (n == QStringLiteral("line-break")) {
        text += QLatin1Char('\n');
      } else if (n == QStringLiteral("annotation")) {
        xml.skipCurrentElement();
        --depth;
      }
    } else if (xml.isEndElement()) {
      --depth;
    } else if (xml.isCharacters()) {
      text += xml.text();
    }
  }
  return text;
}

}  // namespace

Result<Workbook> OdsReader::read(const QString& path) {
  Result<QByteArray> content = ZipArchive::readMember(path, QStringLiteral("content.xml"));
  if (!content)
    return R::failure(QStringLiteral("Dosya geçerli bir OpenDocument tablosu değil (%1).").arg(content.error()));
  Workbook book;
  QXmlStreamReader xml(content.value());
  QString sheetName;
  QList<QStringList> rows;
  int pendingRows = 0;  // empty rows not yet added
  bool inTable = false;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement()) {
      const QStringView n = xml.name();
      if (n == QStringLiteral("table") && xml.namespaceUri().endsWith(QStringLiteral(":table:1.0"))) {
        inTable = true;
        sheetName = xml.attributes().value(QStringLiteral("table:name")).toString();
        rows.clear();
        pendingRows = 0;
      } else if (inTable && n == QStringLiteral("table-row")) {
        const int rowRepeat = repeatOf(xml.attributes(), QStringLiteral("table:number-rows-repeated"));
        QStringList row;
        int pendingCells = 0;
        while (!xml.atEnd()) {
          xml.readNext();
          if (xml.isEndElement() && xml.name() == QStringLiteral("table-row")) break;
          if (!xml.isStartElement()) continue;
          if (xml.name() != QStringLiteral("table-cell") &&
              xml.name() != QStringLiteral("covered-table-cell")) {
            xml.skipCurrentElement();
            continue;
          }
          const QXmlStreamAttributes attrs = xml.attributes();
          const int cellRepeat = repeatOf(attrs, QStringLiteral("table:number-columns-repeated"));
          const QString type = attrs.value(QStringLiteral("office:value-type")).toString();
          QString text = cellText(xml);
          if (type == QStringLiteral("float") || type == QStringLiteral("percentage") ||
              type == QStringLiteral("currency")) {
            bool ok = false;
            const double v = attrs.value(QStringLiteral("office:value")).toDouble(&ok);
            if (ok && type == QStringLiteral("float")) text = Workbook::numberText(v);
          }
          if (text.isEmpty()) {
            pendingCells += cellRepeat;
            continue;
          }
          if (row.size() + pendingCells + cellRepeat > 16384) {
            return R::failure(QStringLiteral("Dosya bozuk: \"%1\" sayfasının %2. satırında çok fazla sütun var.")
                                  .arg(sheetName)
                                  .arg(rows.size() + pendingRows + 1));
          }
          for (int i = 0; i < pendingCells; ++i) row.append(QString());
          pendingCells = 0;
          for (int i = 0; i < cellRepeat; ++i) row.append(text);
        }
        if (row.isEmpty()) {
          pendingRows += rowRepeat;
          continue;
        }
        if (rows.size() + pendingRows + std::min(rowRepeat, kMaxRepeat) > 1048576)
          return R::failure(QStringLiteral("Dosya bozuk: \"%1\" sayfasında çok fazla satır var.").arg(sheetName));
        for (int i = 0; i < pendingRows; ++i) rows.append(QStringList());
        pendingRows = 0;
        for (int i = 0; i < std::min(rowRepeat, kMaxRepeat); ++i) rows.append(row);
      }
    } else if (xml.isEndElement() && inTable && xml.name() == QStringLiteral("table") &&
               xml.namespaceUri().endsWith(QStringLiteral(":table:1.0"))) {
      inTable = false;
      book.addSheet(sheetName, rows);
    }
  }
  if (xml.hasError())
    return R::failure(QStringLiteral("Dosya bozuk: content.xml içinde satır %1 (%2).")
                          .arg(xml.lineNumber())
                          .arg(xml.errorString()));
  if (book.sheetCount() == 0) return R::failure(QStringLiteral("Dosyada hiç sayfa yok."));
  return book;
}

}  // namespace formats
