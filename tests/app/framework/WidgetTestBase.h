#pragma once

#include "ScreenFixture.h"

// The screen fixture with empty lists: these tests fill the lists themselves.
// Questions are answered Yes unless the test queues another answer.
struct WidgetTestBase : ScreenFixture {
  bool setUp() {
    DataFixture::setUp(true);
    return !QTest::currentTestFailed();
  }
  QString lastText() { return messages().lastText(); }
};
