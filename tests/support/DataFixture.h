#pragma once

#include <QtTest>

#include <memory>

#include "TempDataFolder.h"
#include "TestSchool.h"
#include "store/Store.h"

// A fresh data folder and main database per test function, the school builder
// over it, and the reads the checks use. Each area's fixture builds on it.
class DataFixture {
 public:
  // `emptyLists`: without the levels, courses and grid layouts a new database offers.
  void setUp(bool emptyLists = false) {
    QVERIFY(TempDataFolder::renew(m_dir));
    if (emptyLists) QVERIFY(m_dir->emptySeededLists());
    s_store = &m_dir->store();
    s_school = std::make_unique<TestSchool>(*s_store);
  }
  void tearDown() {
    s_school.reset();
    s_store = nullptr;
    m_dir.reset();
  }

  static store::Store& db() { return *s_store; }
  static TestSchool& school() { return *s_school; }
  RecordedMessages& messages() { return m_dir->messages(); }
  // The rights screens ask: those of the program without the advanced mode.
  users::Session& rights() { return m_dir->session(); }
  QString path(const QString& name) const { return m_dir->filePath(name); }
  TempDataFolder& folder() { return *m_dir; }

  static void exec(const QString& sql, const QVariantList& params = {}) {
    const Status s = db().run(sql, params);
    QVERIFY2(s.ok(), qPrintable(s.error()));
  }
  static int count(const QString& sql, const QVariantList& params = {}) {
    return db().scalar(sql, params).valueOr(-1).toInt();
  }
  static QString text(const QString& sql, const QVariantList& params = {}) {
    return db().scalar(sql, params).valueOr({}).toString();
  }
  static QStringList column(const QString& sql, const QVariantList& params = {}) {
    return db().column(sql, params).valueOr({});
  }

 private:
  std::unique_ptr<TempDataFolder> m_dir;
  static inline store::Store* s_store = nullptr;
  static inline std::unique_ptr<TestSchool> s_school;
};
