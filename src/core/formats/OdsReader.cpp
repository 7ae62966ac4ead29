#include "formats/OdsReader.h"

#include <QLocale>
#include <QXmlStreamReader>

#include <memory>
#include <optional>

#include "formats/ZipArchive.h"

namespace formats {

namespace {

using R = Result<Workbook>;

// Files written by office suites repeat the empty cells and rows up to the sheet's
// edge (a million rows); repetitions are only materialised when content follows,
// and never past what a sheet may hold (SheetBuilder).
qint64 repeatOf(const QXmlStreamAttributes& attrs, const QString& name) {
  bool ok = false;
  const qint64 n = attrs.value(name).toLongLong(&ok);
  return ok && n > 1 ? std::min<qint64>(n, Workbook::kMaxRows) : 1;
}

// No spreadsheet program writes a cell longer than this; a file that asks for
// more (a few bytes of <text:s text:c="2147483647"/>) is refused.
constexpr qint64 kLongestCell = 32767;

// The text of a cell: paragraphs joined by line breaks, <text:s> as spaces. A
// cell keeps Workbook::kMaxCellText characters; `length` gets the length the
// file asks for.
QString cellText(QXmlStreamReader& xml, qint64* length) {
  QString text;
  *length = 0;
  auto room = [&text] { return std::max<qsizetype>(0, Workbook::kMaxCellText - text.size()); };
  int paragraphs = 0;
  int depth = 1;
  while (!xml.atEnd() && depth > 0) {
    xml.readNext();
    if (xml.isStartElement()) {
      ++depth;
      const QStringView n = xml.name();
      if (n == QStringLiteral("p")) {
        if (paragraphs++ > 0) {
          text += QLatin1Char('\n');
          ++*length;
        }
      } else if (n == QStringLiteral("s")) {
        bool ok = false;
        const qint64 spaces =
            std::max<qint64>(1, xml.attributes().value(QStringLiteral("text:c")).toLongLong(&ok));
        *length += ok ? spaces : 1;
        text += QString(std::min<qint64>(room(), ok ? spaces : 1), QLatin1Char(' '));
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
      *length += xml.text().size();
      text += xml.text().left(room());
    }
  }
  return SheetBuilder::clip(text);
}

}  // namespace

Result<Workbook> OdsReader::read(const QString& path) {
  // content.xml is parsed as it unpacks; the other parts are passed over unread.
  ArchiveReader archive(path);
  bool found = false;
  while (!found && archive.next()) found = archive.name() == QStringLiteral("content.xml");
  const auto unreadable = [](const QString& why) {
    return R::failure(QStringLiteral("OpenDocument tablosu okunamadı: %1").arg(why));
  };
  if (!archive.error().isEmpty()) return unreadable(archive.error());
  if (!found) return unreadable(QStringLiteral("Dosyada content.xml bulunamadı."));
  const std::unique_ptr<QIODevice> content = archive.device();
  Workbook book;
  WorkbookBudget budget;
  std::optional<SheetBuilder> sheet;
  QXmlStreamReader xml(content.get());
  auto isTable = [&xml] {
    return xml.name() == QStringLiteral("table") &&
           xml.namespaceUri().endsWith(QStringLiteral(":table:1.0"));
  };
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement()) {
      if (isTable()) {
        sheet.emplace(xml.attributes().value(QStringLiteral("table:name")).toString(), &budget);
      } else if (sheet && xml.name() == QStringLiteral("table-row")) {
        const qint64 rowRepeat =
            repeatOf(xml.attributes(), QStringLiteral("table:number-rows-repeated"));
        QStringList row;
        qint64 pendingCells = 0;  // empty cells not yet added
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
          const qint64 cellRepeat =
              repeatOf(attrs, QStringLiteral("table:number-columns-repeated"));
          const QString type = attrs.value(QStringLiteral("office:value-type")).toString();
          qint64 length = 0;
          QString text = cellText(xml, &length);
          if (length > kLongestCell)
            return R::failure(
                QStringLiteral("Dosya bozuk: \"%1\" sayfasında bir hücre %2 karakterden uzun.")
                    .arg(sheet->name())
                    .arg(QLocale(QLocale::Turkish).toString(kLongestCell)));
          if (type == QStringLiteral("float")) {
            bool ok = false;
            const double v = attrs.value(QStringLiteral("office:value")).toDouble(&ok);
            if (ok) text = Workbook::numberText(v);
          }
          if (text.isEmpty()) {
            pendingCells += cellRepeat;
            continue;
          }
          // Columns past the last one kept are read over, not stored.
          const qint64 room = Workbook::kMaxColumns - row.size();
          if (room <= 0 || pendingCells >= room) {
            pendingCells = room;
            continue;
          }
          for (qint64 i = 0; i < pendingCells; ++i) row.append(QString());
          pendingCells = 0;
          for (qint64 i = 0; i < std::min<qint64>(cellRepeat, Workbook::kMaxColumns - row.size());
               ++i)
            row.append(text);
        }
        if (Status s = sheet->append(row, rowRepeat); !s) return R::failure(s.error());
      }
    } else if (xml.isEndElement() && sheet && isTable()) {
      sheet->addTo(book);
      sheet.reset();
    }
  }
  // The archive's own refusal (a bomb, a broken member) ends the part early.
  if (!archive.error().isEmpty()) return unreadable(archive.error());
  if (xml.hasError())
    return R::failure(QStringLiteral("Dosya bozuk: content.xml içinde satır %1 (%2).")
                          .arg(xml.lineNumber())
                          .arg(xml.errorString()));
  if (book.sheetCount() == 0) return R::failure(QStringLiteral("Dosyada hiç sayfa yok."));
  return book;
}

}  // namespace formats
