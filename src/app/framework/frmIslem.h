#pragma once

#include <QDialog>

class QLabel;

// The wait window: one line of progress text over the main window while long
// work runs on the user-interface thread.
class frmIslem : public QDialog {
  Q_OBJECT
 public:
  explicit frmIslem(QWidget* parent = nullptr);
  // Shows the window (when hidden) with the text and lets it paint at once.
  void showText(const QString& text);
  QString text() const;

 private:
  QLabel* m_label;
};
