#pragma once

#include <QWidget>

#include "web/QrCode.h"

// Where the class joins from their own devices: the QR code of the address with
// the code, the short address and the four-digit code. Large on an activity's
// start page, where the students read it from the back row; small in a corner
// while the activity runs, for a latecomer. It never shows the teacher's code:
// it is on the board, and the board is projected.
class JoinPanel : public QWidget {
  Q_OBJECT
 public:
  explicit JoinPanel(QWidget* parent = nullptr);
  ~JoinPanel() override;

  // `url` is what the QR code opens (with the code); false when it cannot be
  // encoded (the address and the code still show).
  bool setJoin(const QString& url, const QString& address, const QString& code);
  void setLarge(bool large);
  bool large() const { return m_large; }
  // Takes its place and size in the parent: a large part of its right side, or
  // its bottom right corner. The parent's layout leaves that strip to the panel,
  // so that it hides no tile, counter or button.
  void place();

  const web::QrMatrix& matrix() const { return m_qr; }
  QString address() const { return m_address; }
  QString code() const { return m_code; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QRect qrRect() const;

  web::QrMatrix m_qr;
  QString m_address;
  QString m_code;
  bool m_large = true;
  bool m_placing = false;    // a placing after the window's layout is queued
  QMargins m_parentMargins;  // the parent layout's own, given back at the end
};
