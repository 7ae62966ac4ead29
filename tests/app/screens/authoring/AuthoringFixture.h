#pragma once

// A fresh data folder per test function, the context the screens get (its
// messages record and answer as told), the session's rights, and questions put
// straight into the bank.
#include <QBuffer>
#include <QImage>
#include <QtTest>

#include <memory>

#include "TempDataFolder.h"
#include "authoring/QuestionBank.h"
#include "framework/FileDialogs.h"
#include "framework/ScreenContext.h"
#include "users/Session.h"

struct AuthoringFixture {
  std::unique_ptr<TempDataFolder> dir;

  void init() {
    QVERIFY(TempDataFolder::renew(dir));
    dir->session().setFlags(users::RightFlags::all(true));
    // No file dialog ever waits for a click.
    filedialogs::setRunner([](QFileDialog&) { return 0; });
  }
  void cleanup() {
    filedialogs::setRunner({});
    dir->session().setFlags(users::RightFlags::all(true));
    dir.reset();
  }
  store::Store& store() { return dir->store(); }
  RecordedMessages& messages() { return dir->messages(); }
  ScreenContext context() { return {store(), messages(), dir->session(), {}}; }
  QStringList shown() { return messages().takeTexts(); }
  void answers(const QList<Messages::Answer>& next) { messages().setNextAnswers(next); }
  int count(const QString& sql, const QVariantList& params = {}) {
    return store().scalar(sql, params).valueOr(-1).toInt();
  }
  void deny(const QString& key) {
    users::RightFlags flags = users::RightFlags::all(true);
    flags.setFlag(users::requiredFlag(key), false);
    dir->session().setFlags(flags);
  }

  // A picture file of one colour; its bytes are what the bank must keep.
  QString pictureFile(const QString& name, QColor colour) {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = dir->store().path(name);
    if (!image.save(path, "PNG")) return {};
    return path;
  }
  // A question with a picture; returns its key.
  QString addQuestion(const QString& answer = QStringLiteral("A"),
                      const QString& level = QStringLiteral("5")) {
    authoring::Question q;
    q.seviye = level;
    q.dogruSik = answer;
    q.sure = QStringLiteral("30");
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const Result<QString> key = authoring::QuestionBank(store()).add(q, {bytes, {}});
    return key ? key.value() : QString();
  }
};
