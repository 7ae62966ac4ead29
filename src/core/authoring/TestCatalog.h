#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

#include "Result.h"
#include "authoring/Test.h"
#include "store/Sql.h"

namespace store {
class Store;
}

namespace authoring {

// What the test search panel asks for ("TÜMÜ" or empty restricts nothing).
struct TestSearch {
  enum class Usage { Any, Run, NotRun };  // "TÜMÜ", "UYGULANAN", "UYGULANMAYAN"
  curriculum::CurriculumFilter curriculum{};
  QString hazirlayan{};
  Usage usage = Usage::Any;
  QString name{};  // words of the test name (Turkish case folded)

  static Usage usageOf(const QString& listText);
  // TESTNO, TESTADI, HAZIRLAYAN, SORUSAYISI, SURE, SEVIYE, DERS, UNITE, KONU of
  // every test but "Serbest", numeric keys first in numeric order.
  store::Query query() const;
};

// The tests: TABLETEST rows with their start screen and booklet header in the
// test content store (one row per test: a new header replaces the old one).
// Every write is one transaction and says store.changed(Tests) after it.
class TestCatalog {
 public:
  explicit TestCatalog(store::Store& store) : m_store(store) {}

  // "Test Bulunamadı" when there is no such test.
  Result<Test> load(const QString& testNo) const;
  Result<bool> exists(const QString& testNo) const;
  Result<TestSummary> summary(const QString& testNo) const;

  // Saves a new test under the next number and returns it; `startScreen` is the
  // bytes of its start screen picture.
  Result<QString> create(Test test, const std::optional<QByteArray>& startScreen = {});
  // Saves an edited test (nullopt keeps the start screen).
  Status update(const Test& test, const std::optional<QByteArray>& startScreen = {});
  // "Test bilgileri, teste ait sorulara uygulansın mı?": the test's level, course,
  // unit and topic (not its outcome) go onto every question of the test.
  Status applyToQuestions(const QString& testNo);
  // Deletes tests with their memberships and contents; their questions stay in
  // the bank and their recorded runs are kept.
  Status remove(const QStringList& testNos);

  Result<QByteArray> startScreen(const QString& testNo) const;
  // The booklet header (empty when the test has none).
  Result<QByteArray> header(const QString& testNo) const;
  Status setHeader(const QString& testNo, const QByteArray& header);

  static QString notFoundMessage() { return QStringLiteral("Test Bulunamadı"); }
  static QString applyQuestion() {
    return QStringLiteral("Test bilgileri, teste ait sorulara uygulansın mı?");
  }
  static QString removeQuestion(const QString& testNo) {
    return QStringLiteral("%1 numaralı testi silmek istediğinizden emin misiniz?").arg(testNo);
  }
  static QString removeManyQuestion(int n) {
    return QStringLiteral("Seçili %1 adet testi silmek istediğinizden emin misiniz?").arg(n);
  }

 private:
  Status checkName(const Test& test) const;
  store::Store& m_store;
};

}  // namespace authoring
