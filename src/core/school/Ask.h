#pragma once

#include <QString>

#include <functional>

namespace school {

// A Yes/No question to the teacher; true means "Evet". The screen passes one that
// shows frmMesaj, the CLI one that reads --yes, tests one that records the text.
using Ask = std::function<bool(const QString& question)>;

// Every question answered with Yes.
inline Ask alwaysYes() {
  return [](const QString&) { return true; };
}

}  // namespace school
