#pragma once

#include <QtTest>

#include <memory>

#include "TempDataFolder.h"
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
  std::unique_ptr<TempDataFolder> dir;
  QList<Message> messages;
  bool answer = true;

  bool setUp() {
    if (!TempDataFolder::renew(dir)) return false;
    messages.clear();
    answer = true;
    mesaj::setHook([this](const QString& title, const QString& text, bool question) {
      messages.append({title, text, question});
      return answer;
    });
    return dir->emptySeededLists();
  }
  void tearDown() {
    mesaj::setHook({});
    dir.reset();
  }
  QString lastText() const { return messages.isEmpty() ? QString() : messages.last().text; }
};
