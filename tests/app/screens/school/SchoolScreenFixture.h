#pragma once

// The school screens' fixture: files they ask the desktop to open are noted,
// and students are added through the school builder.
#include "ScreenFixture.h"
#include "curriculum/OfferedValues.h"
#include "framework/ScreenHelpers.h"

struct SchoolScreenFixture : ScreenFixture {
  QStringList opened;        // files the screens asked the desktop to open
  bool desktopOpens = true;  // whether a program takes them

  void init() {
    ScreenFixture::init();
    opened.clear();
    desktopOpens = true;
    framework::setFileOpener([this](const QString& p) {
      opened << p;
      return desktopOpens;
    });
  }
  void cleanup() {
    framework::setFileOpener({});
    ScreenFixture::cleanup();
  }
  // Student <kayitNo> "Öğrenci<kayitNo> Yılmaz" (or `adi`), school number 100 + kayitNo.
  void addStudent(int kayitNo, const QString& sinifi, const QString& adi = {}) {
    TestSchool::Student s;
    s.kayitNo = QString::number(kayitNo);
    s.numarasi = QString::number(100 + kayitNo);
    s.adi = adi;
    s.sinifi = sinifi;
    s.seviye = QStringLiteral("5");
    school().student(s);
  }
  void ensureLevel(const QString& level = QStringLiteral("5")) {
    curriculum::OfferedValues levels(db(), curriculum::OfferedValues::Kind::Level);
    if (!levels.offeredValues().valueOr({}).contains(level)) school().level(level);
  }
};
