#include "authoring/QuestionRules.h"

#include "authoring/QuestionBank.h"
#include "authoring/TestQuestions.h"
#include "lists/FilterLists.h"

namespace authoring {

namespace {

bool emptyOrIn(const QString& value, const QStringList& list) {
  return value.isEmpty() || list.contains(value);
}

Status invalid(const QString& field, const QString& value, const QString& rule) {
  return Status::failure(QStringLiteral("%1 \"%2\" olamaz: %3").arg(field, value, rule));
}

// "Bilgi, Kavrama, ... ya da Değerlendirme olmalıdır." from a list after its "TÜMÜ".
QString oneOf(const QStringList& list) {
  const QStringList values = list.mid(1);
  return QStringLiteral("%1 ya da %2 olmalıdır.")
      .arg(values.mid(0, values.size() - 1).join(QStringLiteral(", ")), values.last());
}

}  // namespace

bool isValidChoice(const QString& letter) { return texts::kChoices.contains(letter); }

bool isValidType(const QString& turu) { return emptyOrIn(turu, lists::SoruTuruDoldur()); }

bool isValidDifficulty(const QString& zorluk) { return emptyOrIn(zorluk, lists::ZorlukDoldur()); }

bool isValidPoints(const QString& puan) { return emptyOrIn(puan, lists::PuanDoldur()); }

QString invalidChoiceMessage(const QString& letter) {
  const QString rule = QStringLiteral("A, B, C, D ya da E olmalıdır.");
  if (letter.isEmpty()) return QStringLiteral("Doğru şık ") + rule;
  return QStringLiteral("Doğru şık \"%1\" olamaz: %2").arg(letter, rule);
}

Status checkTime(const QString& sure) {
  if (sure.isEmpty() || isValidTime(sure)) return {};
  return invalid(QStringLiteral("Süre"), sure,
                 QStringLiteral("\"Süresiz\" ya da 1-3600 saniye olmalıdır."));
}

Status checkQuestion(const Question& q, bool keyLater) {
  if (q.dogruSik.isEmpty()) {
    if (!q.anket && !keyLater) return Status::failure(QuestionBank::noCorrectChoiceMessage());
  } else if (!isValidChoice(q.dogruSik)) {
    return Status::failure(invalidChoiceMessage(q.dogruSik));
  }
  if (Status s = checkTime(q.sure); !s) return s;
  if (!isValidType(q.turu))
    return invalid(QStringLiteral("Soru türü"), q.turu, oneOf(lists::SoruTuruDoldur()));
  if (!isValidDifficulty(q.zorluk))
    return invalid(QStringLiteral("Zorluk"), q.zorluk, oneOf(lists::ZorlukDoldur()));
  if (!isValidPoints(q.puan))
    return invalid(QStringLiteral("Puan"), q.puan,
                   QStringLiteral("0 ile 100 arasında bir tam sayı olmalıdır."));
  return {};
}

}  // namespace authoring
