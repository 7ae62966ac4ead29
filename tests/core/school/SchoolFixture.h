#pragma once

#include <QtTest>

#include <memory>

#include "TempDataFolder.h"
#include "store/Store.h"

// A fresh data folder and main database per test function.
class SchoolFixture {
 public:
  void setUp() {
    QVERIFY(TempDataFolder::renew(m_dir));
    QVERIFY(m_dir->emptySeededLists());
    s_store = &m_dir->store();
  }
  void tearDown() {
    s_store = nullptr;
    m_dir.reset();
  }
  QString path(const QString& name) const { return m_dir->filePath(name); }
  static store::Store& db() { return *s_store; }
  RecordedMessages& messages() { return m_dir->messages(); }

  static void addStudent(const QString& kayitNo, const QString& adi, const QString& sinifi,
                         const QString& seviye = QStringLiteral("5"), const QString& tc = {}) {
    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,NUMARASI,ADI,SOYADI,SINIFI,"
                                    "SEVIYE,TCKIMLIK) VALUES (?,?,?,?,?,?,?)"),
                     {kayitNo, QStringLiteral("N") + kayitNo, adi,
                      QStringLiteral("Soyad") + kayitNo, sinifi, seviye, tc})
                .ok());
  }
  static void pair(const QString& address, const QString& kayitNo) {
    QVERIFY(
        db().run(QStringLiteral("INSERT INTO TABLEESLESME (KUMANDAADRESI,KAYITNO) VALUES (?,?)"),
                 {address, kayitNo})
            .ok());
  }
  static int count(const QString& sql, const QVariantList& params = {}) {
    return db().scalar(sql, params).valueOr(-1).toInt();
  }
  static QStringList column(const QString& sql, const QVariantList& params = {}) {
    return db().column(sql, params).valueOr({});
  }
  static QString text(const QString& sql, const QVariantList& params = {}) {
    return db().scalar(sql, params).valueOr({}).toString();
  }

 private:
  std::unique_ptr<TempDataFolder> m_dir;
  static inline store::Store* s_store = nullptr;
};
