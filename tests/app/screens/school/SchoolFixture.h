#pragma once

// A fresh data folder and main database per test function, and small helpers
// for putting students and remotes into it.
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "school/OfferedValues.h"
#include "screens/school/SchoolScreens.h"
#include "shell/frmMesaj.h"
#include "store/DataFolder.h"
#include "store/Database.h"
#include "store/Parameters.h"
#include "store/Schema.h"
#include "store/Sql.h"

struct SchoolFixture {
  std::unique_ptr<QTemporaryDir> dir;
  QStringList opened;       // files the screens asked the desktop to open
  bool openerFound = true;  // whether a desktop program takes them

  void init() {
    dir = std::make_unique<QTemporaryDir>();
    store::DataFolder::setRoot(dir->path());
    store::UserSettings::setFile(dir->filePath(QStringLiteral("ayar.ini")));
    QVERIFY(store::VeritabaniKontrol().ok());
    answers({});
    frmMesaj::takeShownTexts();
    opened.clear();
    openerFound = true;
    schoolui::setFileOpener([this](const QString& p) {
      opened << p;
      return openerFound;
    });
  }
  void cleanup() {
    schoolui::setFileOpener({});
    frmMesaj::setAutoAnswers({});
    store::BaglantiKapat();
  }
  // The next answers, then "Tamam" for every further window, so that an
  // unexpected message never waits for a hand on the mouse.
  static void answers(QList<int> first) {
    for (int i = 0; i < 50; ++i) first << frmMesaj::Tamam;
    frmMesaj::setAutoAnswers(first);
  }
  QString path(const QString& name) const { return dir->filePath(name); }

  static int count(const QString& sql, const QVariantList& params = {}) {
    return store::scalar(sql, params, -1).toInt();
  }
  static void addStudent(int kayitNo, const QString& sinifi, const QString& adi = {}) {
    QVERIFY(store::run(
                QStringLiteral(
                    "INSERT INTO TABLEOGRENCI (KAYITNO,NUMARASI,ADI,SOYADI,SINIFI,SEVIYE,TCKIMLIK) "
                    "VALUES (?,?,?,?,?,?,'')"),
                {QString::number(kayitNo), QString::number(100 + kayitNo),
                 adi.isEmpty() ? QStringLiteral("Öğrenci%1").arg(kayitNo) : adi,
                 QStringLiteral("Yılmaz"), sinifi, QStringLiteral("5")})
                .ok());
  }
  static void ensureLevel(const QString& level = QStringLiteral("5")) {
    school::OfferedValues levels(school::OfferedValues::Kind::Level);
    if (!levels.offeredValues().contains(level)) (void)levels.add(level);
  }
};
