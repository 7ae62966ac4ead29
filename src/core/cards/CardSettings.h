#pragma once

#include <QSqlDatabase>
#include <QString>

#include "Result.h"

namespace cards {

// What a set-up screen remembers of answering with cards: whether its
// activities take cards, and where the frames come from (a camera, or a still
// picture from a file). Kept with the screen's other saved choices.
struct CardSettings {
  bool wanted = false;
  QString camera;        // the camera's id; empty: the system's default camera
  QString stillPicture;  // a picture file instead of a camera, when set

  static Result<CardSettings> load(const QSqlDatabase& db, const QString& screen);
  // Keeps the screen's other saved choices.
  Status save(const QSqlDatabase& db, const QString& screen) const;
};

}  // namespace cards
