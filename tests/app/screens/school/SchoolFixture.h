#pragma once

// A fresh data folder and main database per test function, the context the
// screens get (its messages record and answer as told), and small helpers for
// putting students and remotes into it.
#include <QtTest>

#include <memory>

#include "TempDataFolder.h"
#include "curriculum/OfferedValues.h"
#include "framework/ScreenContext.h"
#include "framework/ScreenHelpers.h"
#include "store/Store.h"

struct SchoolFixture {
  std::unique_ptr<TempDataFolder> dir;
  QStringList opened;        // files the screens asked the desktop to open
  bool desktopOpens = true;  // whether a program takes them

  void init() {
    QVERIFY(TempDataFolder::renew(dir));
    opened.clear();
    desktopOpens = true;
    framework::setFileOpener([this](const QString& p) {
      opened << p;
      return desktopOpens;
    });
  }
  void cleanup() {
    framework::setFileOpener({});
    dir.reset();
  }
  store::Store& store() { return dir->store(); }
  RecordedMessages& messages() { return dir->messages(); }
  ScreenContext context() { return {store(), messages(), dir->session(), {}}; }
  // The texts shown since the last call.
  QStringList shown() { return messages().takeTexts(); }
  // The answers to the next questions; further questions get their default button.
  void answers(const QList<Messages::Answer>& next) { messages().setNextAnswers(next); }
  QString path(const QString& name) const { return dir->filePath(name); }

  int count(const QString& sql, const QVariantList& params = {}) {
    return store().scalar(sql, params).valueOr(-1).toInt();
  }
  QStringList column(const QString& sql) { return store().column(sql).valueOr({}); }
  void exec(const QString& sql) { QVERIFY(store().run(sql).ok()); }
  void addStudent(int kayitNo, const QString& sinifi, const QString& adi = {}) {
    QVERIFY(store()
                .run(QStringLiteral("INSERT INTO TABLEOGRENCI "
                                    "(KAYITNO,NUMARASI,ADI,SOYADI,SINIFI,SEVIYE,TCKIMLIK) "
                                    "VALUES (?,?,?,?,?,?,'')"),
                     {QString::number(kayitNo), QString::number(100 + kayitNo),
                      adi.isEmpty() ? QStringLiteral("Öğrenci%1").arg(kayitNo) : adi,
                      QStringLiteral("Yılmaz"), sinifi, QStringLiteral("5")})
                .ok());
  }
  void ensureLevel(const QString& level = QStringLiteral("5")) {
    curriculum::OfferedValues levels(store(), curriculum::OfferedValues::Kind::Level);
    if (!levels.offeredValues().valueOr({}).contains(level)) QVERIFY(levels.add(level).ok());
  }
};
