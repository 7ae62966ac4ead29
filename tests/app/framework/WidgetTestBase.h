#pragma once

#include <QtTest>

#include <memory>

#include "TempDataFolder.h"
#include "framework/ScreenContext.h"
#include "store/Store.h"

// A fresh database per test function, and the context the widgets get: its store
// and a message channel that records every message and answers questions as told
// (Yes unless the test queues another answer).
struct WidgetTestBase {
  std::unique_ptr<TempDataFolder> dir;

  bool setUp() {
    if (!TempDataFolder::renew(dir)) return false;
    return dir->emptySeededLists();
  }
  void tearDown() { dir.reset(); }

  store::Store& store() { return dir->store(); }
  RecordedMessages& messages() { return dir->messages(); }
  ScreenContext context() { return {store(), messages(), dir->session(), {}}; }
  QString lastText() { return messages().lastText(); }
};
