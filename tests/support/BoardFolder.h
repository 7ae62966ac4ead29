#pragma once

#include <QTemporaryDir>

#include <memory>

#include "InstalledSchool.h"
#include "TestSchool.h"
#include "store/Store.h"

namespace testsupport {

// One board with its own data folder of SQLite files, installed, whatever
// backend the test runs on: the school's server tests set boards beside it.
struct Board {
  QTemporaryDir dir;
  store::Store store{dir.path()};
  std::unique_ptr<TestSchool> school;
  Board() {
    if (!store.open()) qFatal("board folder did not open");
    if (!installedSchool(store)) qFatal("board not installed");
    school = std::make_unique<TestSchool>(store);
  }
  QString path() const { return dir.path(); }
};

}  // namespace testsupport
