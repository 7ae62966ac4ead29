#pragma once

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "store/DataFolder.h"
#include "store/Database.h"
#include "store/Parameters.h"
#include "store/Schema.h"
#include "store/Sql.h"
#include "widgets/Mesaj.h"

// A fresh database per test function and a message hook that records every
// message and answers questions with `answer`.
struct WidgetTestBase {
  struct Message {
    QString title;
    QString text;
    bool question = false;
  };
  std::unique_ptr<QTemporaryDir> dir;
  QList<Message> messages;
  bool answer = true;

  bool setUp() {
    dir = std::make_unique<QTemporaryDir>();
    if (!dir->isValid()) return false;
    store::DataFolder::setRoot(dir->path());
    store::UserSettings::setFile(dir->filePath(QStringLiteral("ayar.ini")));
    messages.clear();
    answer = true;
    mesaj::setHook([this](const QString& title, const QString& text, bool question) {
      messages.append({title, text, question});
      return answer;
    });
    if (!store::VeritabaniKontrol().ok()) return false;
    return store::run(QStringLiteral("DELETE FROM TABLEPARAMETRE")).ok() &&
           store::run(QStringLiteral("DELETE FROM TABLETANIMLAMALAR")).ok();
  }
  void tearDown() {
    mesaj::setHook({});
    store::BaglantiKapat();
  }
  QString lastText() const { return messages.isEmpty() ? QString() : messages.last().text; }
};
