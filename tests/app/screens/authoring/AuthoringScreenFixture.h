#pragma once

// The authoring screens' fixture: the session's rights, file dialogs that never
// wait, and questions put into the bank.
#include <QFile>
#include <QImage>

#include "ScreenFixture.h"
#include "framework/FileDialogs.h"
#include "users/Session.h"

struct AuthoringScreenFixture : ScreenFixture {
  void init() {
    ScreenFixture::init();
    rights().setFlags(users::RightFlags::all(true));
    filedialogs::setRunner([](QFileDialog&) { return 0; });
  }
  void cleanup() {
    filedialogs::setRunner({});
    rights().setFlags(users::RightFlags::all(true));
    ScreenFixture::cleanup();
  }
  void deny(const QString& key) {
    users::RightFlags flags = users::RightFlags::all(true);
    flags.setFlag(users::requiredFlag(key), false);
    rights().setFlags(flags);
  }
  // A picture file of one colour; its bytes are what the bank must keep.
  QString pictureFile(const QString& name, QColor colour) {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(colour);
    const QString file = db().path(name);
    return image.save(file, "PNG") ? file : QString();
  }
  // A question with a blue picture; returns its key.
  QString addQuestion(const QString& answer = QStringLiteral("A"),
                      const QString& level = QStringLiteral("5")) {
    authoring::Question q = TestSchool::newQuestion(answer);
    q.seviye = level;
    q.ders.clear();
    q.unite.clear();
    QFile blue(pictureFile(QStringLiteral("mavi.png"), Qt::blue));
    return blue.open(QIODevice::ReadOnly) ? school().question(q, blue.readAll()) : QString();
  }
};
