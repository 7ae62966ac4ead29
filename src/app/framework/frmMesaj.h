#pragma once

#include <QDialog>
#include <QString>

#include "Messages.h"

class QLabel;

// The message window every screen's messages appear in: a title, a (multi-line)
// text and the buttons of the message. Screens never open it themselves: they
// tell their Messages (ScreenContext::messages), which in the program is a
// WidgetMessages showing this window.
class frmMesaj : public QDialog {
  Q_OBJECT
 public:
  frmMesaj(QWidget* parent, const Messages::Message& message);
  // The button pressed; closing the window counts as the last button offered
  // ("Hayır", "İptal") or "Tamam".
  Messages::Answer answer() const { return m_answer; }

 private:
  Messages::Answer m_answer;
};

// The program's message channel: each message is a modal frmMesaj over the
// window that is active (or `parent`).
class WidgetMessages : public Messages {
 public:
  explicit WidgetMessages(QWidget* parent = nullptr) : m_parent(parent) {}
  Answer show(const Message& message) override;

 private:
  QWidget* m_parent;
};
