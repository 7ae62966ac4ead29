#include "formats/XlsxReader.h"

#include <QHash>
#include <QXmlStreamReader>

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

Result<QStringList> sharedStrings(const QByteArray& data) {
  QStringList strings;
  if (data.isEmpty()) return strings;
  QXmlStreamReader xml(data);
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement() && xml.name() == QStringLiteral("si"))
      strings << SheetBuilder::clip(richText(xml));
  }
  if (xml.hasError())
    return Result<QStringList>::failure(xmlError(QStringLiteral("xl/sharedStrings.xml"), xml));
  return strings;
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

Status sheetRows(const QString& part, const QByteArray& data, const QStringList& shared,
                 SheetBuilder& sheet) {
  using RR = Status;
  QXmlStreamReader xml(data);
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
    if (Status s = sheet.set(rowIndex, col, text); !s) return s;
  }
  if (xml.hasError()) return RR::failure(xmlError(part, xml));
  return {};
}

}  // namespace

Result<Workbook> XlsxReader::read(const QString& path) {
  // Only the parts that may hold cells or lead to them are unpacked; pictures,
  // styles, drawings and the like are passed over.
  auto wanted = [](const QString& name) {
    if (name == QStringLiteral("xl/_rels/workbook.xml.rels")) return true;
    if (!name.startsWith(QStringLiteral("xl/")) || !name.endsWith(QStringLiteral(".xml")))
      return false;
    for (const char* skip : {"xl/styles.xml", "xl/theme/", "xl/drawings/", "xl/charts/",
                             "xl/media/", "xl/printerSettings/", "xl/pivot", "xl/externalLinks/"})
      if (name.startsWith(QLatin1String(skip))) return false;
    return true;
  };
  Result<QList<ZipMember>> members = ZipArchive::readAll(path, wanted);
  if (!members)
    return R::failure(QStringLiteral("Excel dosyası okunamadı: %1").arg(members.error()));
  QHash<QString, QByteArray> parts;
  for (const ZipMember& m : members.value()) parts.insert(m.name, m.data);
  const QString workbookPart = QStringLiteral("xl/workbook.xml");
  if (!parts.contains(workbookPart))
    return R::failure(QStringLiteral("Dosya geçerli bir Excel (xlsx) dosyası değil."));

  // Relationship id -> part name.
  QHash<QString, QString> targets;
  {
    QXmlStreamReader xml(parts.value(QStringLiteral("xl/_rels/workbook.xml.rels")));
    while (!xml.atEnd()) {
      xml.readNext();
      if (xml.isStartElement() && xml.name() == QStringLiteral("Relationship")) {
        QString target = xml.attributes().value(QStringLiteral("Target")).toString();
        target =
            target.startsWith(QLatin1Char('/')) ? target.mid(1) : QStringLiteral("xl/") + target;
        targets.insert(xml.attributes().value(QStringLiteral("Id")).toString(), target);
      }
    }
  }
  Result<QStringList> shared = sharedStrings(parts.value(QStringLiteral("xl/sharedStrings.xml")));
  if (!shared) return R::failure(shared.error());

  Workbook book;
  qint64 budget = Workbook::kMaxCells;
  QXmlStreamReader xml(parts.value(workbookPart));
  int position = 0;
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement() || xml.name() != QStringLiteral("sheet")) continue;
    ++position;
    const QXmlStreamAttributes attrs = xml.attributes();
    const QString name = attrs.value(QStringLiteral("name")).toString();
    QString id;
    for (const QXmlStreamAttribute& a : attrs)
      if (a.name() == QStringLiteral("id")) id = a.value().toString();  // r:id
    QString part = targets.value(id);
    if (part.isEmpty()) part = QStringLiteral("xl/worksheets/sheet%1.xml").arg(position);
    if (!parts.contains(part))
      return R::failure(QStringLiteral("Dosya bozuk: \"%1\" sayfasının verisi yok.").arg(name));
    SheetBuilder sheet(name, &budget);
    if (Status s = sheetRows(part, parts.value(part), shared.value(), sheet); !s)
      return R::failure(s.error());
    sheet.addTo(book);
  }
  if (xml.hasError()) return R::failure(xmlError(workbookPart, xml));
  if (book.sheetCount() == 0) return R::failure(QStringLiteral("Dosyada hiç sayfa yok."));
  return book;
}

}  // namespace formats
