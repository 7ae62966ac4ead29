#pragma once

#include <QMap>
#include <QWidget>

#include <functional>

#include "delivery/RunSession.h"

class QFrame;
class QLabel;
class QPushButton;

// The small control bar of a free run: it floats over whatever the teacher
// shows on the board (a PDF, a web page, a drawing) and mirrors the run after
// every change: the vote's colour and its two lines, the question number, the
// live counts, and the buttons the run has available now. It can be folded to
// its first line.
class frmSerbestTamEkran : public QWidget {
  Q_OBJECT
 public:
  using Command = delivery::RunSession::Command;

  explicit frmSerbestTamEkran(delivery::RunSession& session, QWidget* parent = nullptr);

  QPushButton* cmdNav(Command command) const { return m_buttons.value(command); }
  // "Soruyu Kırp": shown while clipping is on and the question on the board has
  // not been left yet; "Yeniden Kırp" once it has a clip.
  QPushButton* cmdKirp() const { return m_cmdKirp; }
  QPushButton* cmdTesteDevam() const { return m_cmdTesteDevam; }
  void setClipping(bool on, std::function<bool()> clipped);
  QLabel* lblDurum() const { return m_lblDurum; }
  QLabel* lblSoruNo() const { return m_lblSoruNo; }
  QLabel* lblSayilar() const { return m_lblSayilar; }
  QFrame* frame() const { return m_frame; }
  bool folded() const { return m_folded; }
  void setFolded(bool folded);

  // The vote's colours, here and on the presentation's question frame: red
  // while closed, green while open, with a text readable on each.
  static QPalette votingPalette(QPalette base, bool open);

  // On a board: at the edge of the side the teacher chose, low on the screen.
  void placeOnBoard();

 signals:
  void clipRequested();

 private:
  void refresh();

  delivery::RunSession& m_session;
  QMap<Command, QPushButton*> m_buttons;
  QFrame* m_frame = nullptr;
  QLabel* m_lblDurum = nullptr;
  QLabel* m_lblSoruNo = nullptr;
  QLabel* m_lblSayilar = nullptr;
  QWidget* m_buttonRow = nullptr;
  QPushButton* m_cmdKatla = nullptr;
  QPushButton* m_cmdKirp = nullptr;
  QPushButton* m_cmdTesteDevam = nullptr;
  bool m_clipping = false;
  std::function<bool()> m_clipped;
  bool m_folded = false;
};
