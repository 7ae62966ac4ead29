#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>

#include "Result.h"
#include "authoring/ClipSession.h"
#include "framework/ScreenContext.h"

class QLabel;
class QPushButton;
#include "framework/frmKirpma.h"

// The clipping tool's small window, kept on top while the teacher moves through
// a PDF or a web page: "<k>. Soruyu Kırp" captures the screen and opens the
// clipping surface; each clip with its correct choice becomes a question of the
// test (or of free questioning) through authoring::ClipSession.
class frmKirpmaMenu : public QWidget {
  Q_OBJECT
 public:
  explicit frmKirpmaMenu(const ScreenContext& context, QWidget* parent = nullptr);

  authoring::ClipSession& session() { return m_session; }
  Status startForTest(const QString& testNo);
  void startFree();

  // Hides itself, captures the screen, opens the clipping surface.
  void kirp();
  // A clip and its correct choice: saved as a question.
  void kirpimiKaydet(const QImage& clip, const QString& letter);
  frmKirpma* surface() const { return m_surface; }
  // Tests give the capture instead of the screen.
  void setGrabber(std::function<QImage()> grabber) { m_grabber = std::move(grabber); }

 signals:
  // A question was made (its key).
  void questionAdded(const QString& key);

 private:
  void capture();
  void paint();
  ScreenContext m_context;
  authoring::ClipSession m_session;
  std::function<QImage()> m_grabber;
  QPushButton* m_cmdKirp = nullptr;
  QLabel* m_lblDurum = nullptr;
  QPointer<frmKirpma> m_surface;
  int m_added = 0;
};
