#pragma once

#include <QtTest>

#include <memory>

#include "TempDataFolder.h"
#include "store/DataFolder.h"
#include "store/Database.h"
#include "store/Parameters.h"
#include "store/Schema.h"
#include "store/Sql.h"

// A fresh data folder and main database per test function.
class SchoolFixture {
 public:
  void setUp() {
    QVERIFY(TempDataFolder::renew(m_dir));
    QVERIFY(m_dir->emptySeededLists());
  }
  void tearDown() { m_dir.reset(); }
  QString path(const QString& name) const { return m_dir->filePath(name); }

  static void addStudent(const QString& kayitNo, const QString& adi, const QString& sinifi,
                         const QString& seviye = QStringLiteral("5"), const QString& tc = {}) {
    QVERIFY(store::run(
                QStringLiteral(
                    "INSERT INTO TABLEOGRENCI (KAYITNO,NUMARASI,ADI,SOYADI,SINIFI,SEVIYE,TCKIMLIK) "
                    "VALUES (?,?,?,?,?,?,?)"),
                {kayitNo, QStringLiteral("N") + kayitNo, adi, QStringLiteral("Soyad") + kayitNo,
                 sinifi, seviye, tc})
                .ok());
  }
  static void pair(const QString& address, const QString& kayitNo) {
    QVERIFY(
        store::run(QStringLiteral("INSERT INTO TABLEESLESME (KUMANDAADRESI,KAYITNO) VALUES (?,?)"),
                   {address, kayitNo})
            .ok());
  }
  static int count(const QString& sql, const QVariantList& params = {}) {
    return store::scalar(sql, params, -1).toInt();
  }

 private:
  std::unique_ptr<TempDataFolder> m_dir;
};
