#pragma once

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QSet>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

// A test function that only makes pictures for a person to look at runs from
// scripts/pictures (which sets DERSLIK_SHOTS), not in the test suite.
#define PICTURES_ONLY()                             \
  if (qEnvironmentVariableIsEmpty("DERSLIK_SHOTS")) \
  QSKIP("pictures only: scripts/pictures makes them")

// Saves a picture as PNG: into the folder named by DERSLIK_SHOTS when it is set
// (for looking at the screens), otherwise into a temporary folder. Either way the
// file must read back at the picture's size and show more than one colour, so a
// screen that painted nothing fails.
[[nodiscard]] inline bool savePicture(const QPixmap& picture, const QString& fileName) {
  static QTemporaryDir scratch;
  QString folder = qEnvironmentVariable("DERSLIK_SHOTS");
  if (folder.isEmpty()) folder = scratch.path();
  if (!QDir().mkpath(folder) || picture.isNull()) return false;
  const QString file = QDir(folder).filePath(fileName);
  if (!picture.save(file, "PNG")) return false;
  const QImage back(file);
  if (back.size() != picture.size()) return false;
  QSet<QRgb> colours;
  for (int y = 0; y < back.height() && colours.size() < 2; y += 7)
    for (int x = 0; x < back.width() && colours.size() < 2; x += 7)
      colours.insert(back.pixel(x, y));
  return colours.size() > 1;
}

// The same for a shown widget.
[[nodiscard]] inline bool saveScreenshot(QWidget* widget, const QString& fileName) {
  return savePicture(widget->grab(), fileName);
}
