#include "authoring/ClipSession.h"

#include <QBuffer>

#include "authoring/Question.h"
#include "authoring/QuestionBank.h"
#include "authoring/TestCatalog.h"
#include "authoring/TestQuestions.h"
#include "store/Store.h"

namespace authoring {

QByteArray clipBytes(const QImage& clip) {
  // Screen text is sharper as PNG than as JPEG.
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  clip.save(&buffer, "PNG");
  return buffer.data();
}

Status ClipSession::startForTest(const QString& testNo) {
  const Result<Test> test = TestCatalog(m_store).load(testNo);
  if (!test) return Status::failure(test.error());
  const Result<int> n = TestQuestions(m_store).count(testNo);
  if (!n) return Status::failure(n.error());
  m_test = test.value();
  m_next = n.value() + 1;
  return {};
}

void ClipSession::startFree() {
  m_test = Test{};
  m_test.testNo.clear();
  m_next = 0;
}

QString ClipSession::nextCaption() const {
  return forTest() ? QStringLiteral("%1. Soruyu Kırp").arg(m_next) : QStringLiteral("Soruyu Kırp");
}

Result<QString> ClipSession::add(const QImage& clip, const QString& letter) {
  if (clip.isNull()) return Result<QString>::failure(QStringLiteral("Kırpılan alan boş."));
  if (!texts::kChoices.contains(letter))
    return Result<QString>::failure(QStringLiteral("Lütfen doğru şıkkı seçiniz (A-E)."));
  Question q;
  if (forTest()) {
    q.seviye = m_test.seviye;
    q.ders = m_test.ders;
    q.unite = m_test.unite;
    q.konu = m_test.konu;
    q.kazanim = m_test.kazanim;
  }
  q.dogruSik = letter;
  q.sure = texts::kSuresiz;
  store::Transaction tx(m_store);
  QuestionBank bank(m_store);
  const Result<QString> key =
      bank.add(q, {clipBytes(clip), {}}, {},
               forTest() ? QuestionBank::KeyKind::Bank : QuestionBank::KeyKind::Free);
  if (!key) return key;
  if (forTest()) {
    if (Status s = TestQuestions(m_store).add(m_test.testNo, {key.value()}); !s)
      return Result<QString>::failure(s.error());
  }
  if (Status s = tx.commit(); !s) return Result<QString>::failure(s.error());
  if (forTest()) {
    const Result<int> n = TestQuestions(m_store).count(m_test.testNo);
    m_next = (n ? n.value() : m_next) + 1;
  }
  return key;
}

}  // namespace authoring
