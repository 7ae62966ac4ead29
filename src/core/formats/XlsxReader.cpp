#include "formats/XlsxReader.h"

#include <QHash>
#include <QXmlStreamReader>

#include <memory>

#include "formats/ZipArchive.h"

namespace formats {

namespace {

using R = Result<Workbook>;

QString xmlError(const QString& part, const QXmlStreamReader& xml) {
  return QStringLiteral("Dosya bozuk: %1 içinde satır %2 (%3).")
      .arg(part)
      .arg(xml.lineNumber())
      .arg(xml.errorString());
}

// "BC12" -> 54 (0-based column); -1 when the reference has no letters.
int columnOf(QStringView ref) {
  int col = 0;
  int letters = 0;
  for (QChar c : ref) {
    if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
      col = col * 26 + (c.unicode() - 'A' + 1);
    else if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
      col = col * 26 + (c.unicode() - 'a' + 1);
    else
      break;
    ++letters;
  }
  return letters == 0 ? -1 : col - 1;
}

int rowOf(QStringView ref) {
  qsizetype i = 0;
  while (i < ref.size() && ref.at(i).isLetter()) ++i;
  bool ok = false;
  const int row = ref.mid(i).toInt(&ok);
  return ok ? row - 1 : -1;
}

// Text of an <si> or <is> element: every <t> except phonetic runs (<rPh>).
QString richText(QXmlStreamReader& xml) {
  QString text;
  const QString endName = xml.name().toString();
  int phonetic = 0;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement()) {
      if (xml.name() == QStringLiteral("rPh"))
        ++phonetic;
      else if (xml.name() == QStringLiteral("t") && phonetic == 0)
        text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
    } else if (xml.isEndElement()) {
      if (xml.name() == QStringLiteral("rPh"))
        --phonetic;
      else if (xml.name() == endName)
        break;
    }
  }
  return text;
}

// The shared strings, each cut to what a cell keeps, paid from the workbook's
// budget as they come: a table of millions of strings stops at the budget.
Status sharedStrings(QIODevice& part, WorkbookBudget& budget, QStringList& strings) {
  QXmlStreamReader xml(&part);
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement() && xml.name() == QStringLiteral("si")) {
      QString text = SheetBuilder::clip(richText(xml));
      if (Status s = budget.spendCells(1); !s) return s;
      if (Status s = budget.spendBytes(WorkbookBudget::textBytes(text)); !s) return s;
      strings << std::move(text);
    }
  }
  if (xml.hasError()) return Status::failure(xmlError(QStringLiteral("xl/sharedStrings.xml"), xml));
  return {};
}

QString cellValue(const QString& type, const QString& raw, const QStringList& shared, bool* ok) {
  *ok = true;
  if (type == QStringLiteral("s")) {
    bool isNumber = false;
    const int index = raw.toInt(&isNumber);
    if (!isNumber || index < 0 || index >= shared.size()) {
      *ok = false;
      return {};
    }
    return shared.at(index);
  }
  if (type == QStringLiteral("str") || type == QStringLiteral("e") ||
      type == QStringLiteral("inlineStr"))
    return raw;
  if (type == QStringLiteral("b")) return raw;
  if (raw.isEmpty()) return raw;
  bool isNumber = false;
  const double value = raw.toDouble(&isNumber);
  return isNumber ? Workbook::numberText(value) : raw;
}

Status sheetRows(const QString& part, QIODevice& data, const QStringList& shared,
                 SheetBuilder& sheet) {
  using RR = Status;
  QXmlStreamReader xml(&data);
  int rowIndex = -1;
  int colIndex = -1;
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement()) continue;
    if (xml.name() == QStringLiteral("row")) {
      const QStringView r = xml.attributes().value(QStringLiteral("r"));
      bool ok = false;
      const int n = r.toInt(&ok);
      rowIndex = ok && n > 0 ? n - 1 : rowIndex + 1;
      colIndex = -1;
      continue;
    }
    if (xml.name() != QStringLiteral("c")) continue;
    const QXmlStreamAttributes attrs = xml.attributes();
    const QString ref = attrs.value(QStringLiteral("r")).toString();
    const QString type = attrs.value(QStringLiteral("t")).toString();
    int col = ref.isEmpty() ? colIndex + 1 : columnOf(ref);
    if (col < 0 || col > 16383)
      return RR::failure(
          QStringLiteral("Dosya bozuk: %1 içinde geçersiz hücre adresi \"%2\".").arg(part, ref));
    if (rowIndex < 0) rowIndex = ref.isEmpty() ? 0 : std::max(0, rowOf(ref));
    colIndex = col;
    QString raw;
    QString inlineText;
    bool hasInline = false;
    while (!xml.atEnd()) {
      xml.readNext();
      if (xml.isStartElement()) {
        if (xml.name() == QStringLiteral("v"))
          raw = xml.readElementText();
        else if (xml.name() == QStringLiteral("is")) {
          inlineText = richText(xml);
          hasInline = true;
        }
      } else if (xml.isEndElement() && xml.name() == QStringLiteral("c")) {
        break;
      }
    }
    bool ok = true;
    const QString text = hasInline ? inlineText : cellValue(type, raw, shared, &ok);
    if (!ok)
      return RR::failure(
          QStringLiteral("Dosya bozuk: %1 içinde %2 hücresi olmayan bir metne bakıyor.")
              .arg(part, ref));
    if (Status s = sheet.set(rowIndex, col, text,
                             type == QStringLiteral("s") && !hasInline ? SheetBuilder::Text::Shared
                                                                       : SheetBuilder::Text::Own);
        !s)
      return s;
  }
  if (xml.hasError()) return RR::failure(xmlError(part, xml));
  return {};
}

}  // namespace

Result<Workbook> XlsxReader::read(const QString& path) {
  // Two walks through the archive, each part parsed as it unpacks and the
  // parts nobody needs passed over unread: the first reads the workbook, its
  // relationships and the shared strings (which often come after the sheets),
  // the second the sheets the workbook names.
  const auto unreadable = [](const QString& why) {
    return R::failure(QStringLiteral("Excel dosyası okunamadı: %1").arg(why));
  };
  const QString workbookPart = QStringLiteral("xl/workbook.xml");
  const QString relsPart = QStringLiteral("xl/_rels/workbook.xml.rels");
  const QString stringsPart = QStringLiteral("xl/sharedStrings.xml");
  struct SheetEntry {
    QString name;
    QString id;
  };
  QList<SheetEntry> entries;
  QHash<QString, QString> targets;  // relationship id -> part name
  QStringList shared;
  WorkbookBudget budget;
  bool hasWorkbook = false;
  {
    ArchiveReader archive(path);
    while (archive.next()) {
      const QString& name = archive.name();
      if (name != workbookPart && name != relsPart && name != stringsPart) continue;
      const std::unique_ptr<QIODevice> part = archive.device();
      if (name == stringsPart) {
        const Status s = sharedStrings(*part, budget, shared);
        if (!archive.error().isEmpty()) return unreadable(archive.error());
        if (!s) return R::failure(s.error());
        continue;
      }
      QXmlStreamReader xml(part.get());
      while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        const QXmlStreamAttributes attrs = xml.attributes();
        if (name == workbookPart && xml.name() == QStringLiteral("sheet")) {
          if (entries.size() >= Workbook::kMaxColumns * 4)
            return R::failure(QStringLiteral("Dosya bozuk: çok fazla sayfa var."));
          SheetEntry e{attrs.value(QStringLiteral("name")).toString().left(Workbook::kMaxCellText),
                       {}};
          for (const QXmlStreamAttribute& a : attrs)
            if (a.name() == QStringLiteral("id")) e.id = a.value().toString();  // r:id
          entries << e;
        } else if (name == relsPart && xml.name() == QStringLiteral("Relationship")) {
          if (targets.size() >= Workbook::kMaxColumns * 16)
            return R::failure(QStringLiteral("Dosya bozuk: %1 çok uzun.").arg(relsPart));
          QString target = attrs.value(QStringLiteral("Target")).toString();
          target =
              target.startsWith(QLatin1Char('/')) ? target.mid(1) : QStringLiteral("xl/") + target;
          targets.insert(attrs.value(QStringLiteral("Id")).toString(), target);
        }
      }
      if (!archive.error().isEmpty()) return unreadable(archive.error());
      if (name == workbookPart) {
        if (xml.hasError()) return R::failure(xmlError(workbookPart, xml));
        hasWorkbook = true;
      }
    }
    if (!archive.error().isEmpty()) return unreadable(archive.error());
  }
  if (!hasWorkbook)
    return R::failure(QStringLiteral("Dosya geçerli bir Excel (xlsx) dosyası değil."));

  QStringList partOf;  // per sheet entry
  for (qsizetype i = 0; i < entries.size(); ++i) {
    QString part = targets.value(entries.at(i).id);
    if (part.isEmpty()) part = QStringLiteral("xl/worksheets/sheet%1.xml").arg(i + 1);
    partOf << part;
  }
  QHash<QString, Workbook> sheets;  // part -> its rows, as a one-sheet workbook
  {
    ArchiveReader archive(path);
    while (archive.next()) {
      const QString name = archive.name();
      const qsizetype first = partOf.indexOf(name);
      if (first < 0 || sheets.contains(name)) continue;
      const std::unique_ptr<QIODevice> part = archive.device();
      SheetBuilder sheet(entries.at(first).name, &budget);
      const Status s = sheetRows(name, *part, shared, sheet);
      if (!archive.error().isEmpty()) return unreadable(archive.error());
      if (!s) return R::failure(s.error());
      Workbook one;
      sheet.addTo(one);
      sheets.insert(name, std::move(one));
    }
    if (!archive.error().isEmpty()) return unreadable(archive.error());
  }
  Workbook book;
  for (qsizetype i = 0; i < entries.size(); ++i) {
    const auto found = sheets.constFind(partOf.at(i));
    if (found == sheets.cend())
      return R::failure(
          QStringLiteral("Dosya bozuk: \"%1\" sayfasının verisi yok.").arg(entries.at(i).name));
    book.addSheet(entries.at(i).name, found->sheet(0).rows);
  }
  if (book.sheetCount() == 0) return R::failure(QStringLiteral("Dosyada hiç sayfa yok."));
  return book;
}

}  // namespace formats
