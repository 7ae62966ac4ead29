#pragma once

#include <QStringList>

// A screen that can open the virtual remote (the presentation, the attendance
// screen): it lends its remotes and, when it runs a test, its questions.
class SanalKumandaHost {
 public:
  virtual ~SanalKumandaHost() = default;
  virtual QStringList remoteAddresses() const = 0;
  // One entry per question of the running test (empty outside a test).
  virtual QStringList questionTitles() const { return {}; }
  // The question shown now (0-based), or -1.
  virtual int currentQuestion() const { return -1; }
};
