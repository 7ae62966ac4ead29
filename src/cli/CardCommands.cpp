// derslik-cli verbs of the answer cards: printing a class's cards, a new card
// for a lost one, and reading the cards in photos.
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>

#include <cmath>

#include "CliCommand.h"
#include "cards/CardNumbers.h"
#include "cards/CardReader.h"
#include "cards/CardSheets.h"
#include "store/Store.h"

namespace cli {

namespace {

const Syntax& printSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("cards print --class SINIF --out DOSYA.pdf [--size A5|A4] [--json]"))
          .value(QStringLiteral("class"))
          .value(QStringLiteral("out"))
          .value(QStringLiteral("size"))
          .flag(QStringLiteral("json"));
  return s;
}
const Syntax& newSyntax() {
  static const Syntax s(QStringLiteral("cards new KAYITNO"), 1, 1);
  return s;
}
const Syntax& readSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("cards read FOTOĞRAF... [--class SINIF] [--json]"), 1, -1)
          .value(QStringLiteral("class"))
          .flag(QStringLiteral("json"));
  return s;
}

double oneDecimal(double v) { return std::round(v * 10.0) / 10.0; }

// The JSON of these commands keeps its keys in the documented order (QJsonObject
// would sort them): each value is encoded by Qt, the objects are put together here.
QString json(const QJsonValue& v) {
  const QByteArray a = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
  return QString::fromUtf8(a.mid(1, a.size() - 2));
}
using Fields = QList<QPair<QString, QJsonValue>>;
QString object(const Fields& fields) {
  QStringList parts;
  for (const auto& [key, value] : fields) parts << json(key) + QStringLiteral(": ") + json(value);
  return QLatin1Char('{') + parts.join(QStringLiteral(", ")) + QLatin1Char('}');
}
QString list(const QStringList& objects) {
  if (objects.isEmpty()) return QStringLiteral("[]");
  return QStringLiteral("[\n  ") + objects.join(QStringLiteral(",\n  ")) + QStringLiteral("\n]");
}

int print(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  const QString className = a.value(QStringLiteral("class"));
  const QString path = a.value(QStringLiteral("out"));
  if (className.isEmpty())
    return usageError(err, QStringLiteral("--class gerekli."), printSyntax());
  if (path.isEmpty()) return usageError(err, QStringLiteral("--out gerekli."), printSyntax());
  const QString sizeText = a.has(QStringLiteral("size")) ? a.value(QStringLiteral("size")).toUpper()
                                                         : QStringLiteral("A5");
  if (sizeText != QLatin1String("A5") && sizeText != QLatin1String("A4"))
    return usageError(err, QStringLiteral("--size A5 ya da A4 olmalı: %1").arg(sizeText),
                      printSyntax());
  if (!openDatabase(store, err)) return 1;
  const Result<QList<cards::CardHolder>> holders = cards::printClassCards(
      store, className, path,
      sizeText == QLatin1String("A4") ? cards::SheetSize::A4 : cards::SheetSize::A5);
  if (!holders) {
    err << holders.error() << '\n';
    return 1;
  }
  if (a.has(QStringLiteral("json"))) {
    QStringList objects;
    for (const cards::CardHolder& h : holders.value())
      objects << object({{QStringLiteral("KAYITNO"), h.student.kayitNo},
                         {QStringLiteral("ADI"), h.student.name},
                         {QStringLiteral("SOYADI"), h.student.surname},
                         {QStringLiteral("KART"), h.card}});
    out << list(objects) << '\n';
  } else {
    out << holders->size() << " kart yazıldı: " << path << '\n';
  }
  return 0;
}

int newCard(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  if (!openDatabase(store, err)) return 1;
  const Result<int> card = cards::CardNumbers(store).newCard(a.positional.at(0));
  if (!card) {
    err << card.error() << '\n';
    return 1;
  }
  out << "Yeni kart: " << card.value() << " (eski kart artık okunmaz)\n";
  return 0;
}

int read(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  // Every photo is opened before anything is printed: a wrong file name
  // prints nothing half.
  QList<QImage> photos;
  for (const QString& path : a.positional) {
    QImageReader reader(path);
    reader.setAutoTransform(true);  // a phone's photo as it was held
    QImage image = reader.read();
    if (image.isNull()) {
      err << "Fotoğraf okunamadı: " << path << '\n';
      return 1;
    }
    photos << image;
  }
  if (!openDatabase(store, err)) return 1;
  const QString className = a.value(QStringLiteral("class"));
  cards::CardNumbers numbers(store);
  // Card number → its student; without a class, a number held by one student
  // of the school only.
  QMap<int, cards::CardHolder> holders;
  QSet<int> shared;
  QStringList classes{className};
  if (className.isEmpty()) {
    const Result<QStringList> all = store.column(QStringLiteral(
        "SELECT DISTINCT SINIFI FROM TABLEOGRENCI WHERE NZ(SILINDIMI)='' AND NZ(SINIFI)<>''"));
    if (!all) {
      err << all.error() << '\n';
      return 1;
    }
    classes = all.value();
  }
  for (const QString& c : classes) {
    const Result<QList<cards::CardHolder>> list = numbers.classCards(c);
    if (!list) {
      err << list.error() << '\n';
      return 1;
    }
    if (list->isEmpty() && !className.isEmpty()) {
      err << className << " sınıfında öğrenci yok.\n";
      return 1;
    }
    for (const cards::CardHolder& h : list.value()) {
      if (h.card <= 0) continue;
      if (holders.contains(h.card)) shared.insert(h.card);
      holders.insert(h.card, h);
    }
  }
  for (int card : shared) holders.remove(card);

  // A card in several photos: the last photo is the latest moment.
  cards::CardReader reader;
  QMap<int, cards::Sighting> read;
  for (const QImage& photo : photos)
    for (const cards::Sighting& s : reader.read(photo))
      if (!s.letter.isNull()) read.insert(s.card, s);

  QStringList known, unknown;
  if (!a.has(QStringLiteral("json"))) out << "KART\tKAYITNO\tADI\tSOYADI\tCEVAP\n";
  for (const cards::Sighting& s : read) {
    const auto h = holders.constFind(s.card);
    if (a.has(QStringLiteral("json"))) {
      if (h == holders.constEnd()) {
        unknown << object(
            {{QStringLiteral("KART"), s.card}, {QStringLiteral("CEVAP"), QString(s.letter)}});
        continue;
      }
      QJsonArray corners;
      for (const QPointF& p : s.corners)
        corners.append(QJsonArray{oneDecimal(p.x()), oneDecimal(p.y())});
      known << object({{QStringLiteral("KART"), s.card},
                       {QStringLiteral("KAYITNO"), h->student.kayitNo},
                       {QStringLiteral("ADI"), h->student.name},
                       {QStringLiteral("SOYADI"), h->student.surname},
                       {QStringLiteral("CEVAP"), QString(s.letter)},
                       {QStringLiteral("GUVEN"), oneDecimal(s.margin)},
                       {QStringLiteral("KOSELER"), corners}});
    } else {
      const bool found = h != holders.constEnd();
      out << tsvLine({QString::number(s.card), found ? h->student.kayitNo : QString(),
                      found ? h->student.name : QString(), found ? h->student.surname : QString(),
                      QString(s.letter)})
          << '\n';
    }
  }
  if (a.has(QStringLiteral("json")))
    out << QStringLiteral("{\"okunan\": ") << list(known) << QStringLiteral(",\n\"bilinmeyen\": ")
        << list(unknown) << QStringLiteral("}\n");
  return 0;
}

int cardsVerb(store::Store& store, const QStringList& words, QTextStream& out, QTextStream& err) {
  struct Sub {
    const char* name;
    const Syntax& syntax;
    int (*run)(store::Store&, const Args&, QTextStream&, QTextStream&);
  };
  const Sub subs[] = {
      {"print", printSyntax(), print}, {"new", newSyntax(), newCard}, {"read", readSyntax(), read}};
  for (const Sub& sub : subs) {
    if (words.value(0) != QLatin1String(sub.name)) continue;
    int code = 0;
    const std::optional<Args> a = parseOrComplain(words.mid(1), sub.syntax, err, code);
    if (!a) return code;
    return sub.run(store, *a, out, err);
  }
  return subCommandError(err, words, QStringLiteral("cards print|new|read ... (derslik-cli help)"));
}

}  // namespace

QList<CliCommand> cardCommands() {
  return {{QStringLiteral("cards"),
           QStringLiteral("cards print --class C --out DOSYA.pdf [--size A5|A4] [--json] | new "
                          "KAYITNO | read FOTOĞRAF... [--class C] [--json]"),
           cardsVerb}};
}

}  // namespace cli
