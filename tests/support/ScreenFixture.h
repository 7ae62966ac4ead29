#pragma once

// The data fixture with what the screens get: the screen context (its messages
// record and answer as told) and the texts they showed.
#include "DataFixture.h"
#include "framework/ScreenContext.h"

struct ScreenFixture : DataFixture {
  void init() { setUp(); }
  void cleanup() { tearDown(); }
  store::Store& store() { return db(); }
  ScreenContext context() { return {db(), messages(), rights(), {}}; }
  // The texts shown since the last call.
  QStringList shown() { return messages().takeTexts(); }
  // The answers to the next questions; further questions get their default button.
  void answers(const QList<Messages::Answer>& next) { messages().setNextAnswers(next); }
};
