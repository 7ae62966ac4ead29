#pragma once

#include <QImage>
#include <QString>

#include "Result.h"
#include "authoring/Test.h"

namespace store {
class Store;
}

namespace authoring {

// A clipped picture as the bank stores it.
QByteArray clipBytes(const QImage& clip);

// The core half of the clipping tool (frmKirpma / frmKirpmaMenu): each clipped
// picture with the choice picked from A-E becomes a question. For a test the
// question takes the test's level, course, unit, topic and outcome and is
// appended at the next position ("<k>. Soruyu Kırp" offers the next clip); for
// free questioning it gets the key "S"+n and stays out of the bank (SILINDIMI
// "1"). Each clip is one transaction.
class ClipSession {
 public:
  explicit ClipSession(store::Store& store) : m_store(store) {}

  // Clipping for a saved test.
  Status startForTest(const QString& testNo);
  // Clipping for free questioning.
  void startFree();

  bool forTest() const { return !m_test.testNo.isEmpty(); }
  // The position the next clip takes in the test (0 for free questioning).
  int nextPosition() const { return m_next; }
  // "<k>. Soruyu Kırp", or "Soruyu Kırp" for free questioning.
  QString nextCaption() const;

  // Saves the clip as a question with the correct choice `letter` (A-E) and
  // returns its key.
  Result<QString> add(const QImage& clip, const QString& letter);

 private:
  store::Store& m_store;
  Test m_test;
  int m_next = 0;
};

}  // namespace authoring
