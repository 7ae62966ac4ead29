#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;

namespace framework {

class ReceiverController;

// The receiver's hidden diagnostics: the device, the last report (tUSBRx), the
// recent reports (List1) and the repeat window. For a teacher or technician
// checking that the receiver and the remotes work.
class ReceiverDiagnosticsPanel : public QDialog {
  Q_OBJECT
 public:
  ReceiverDiagnosticsPanel(ReceiverController* controller, QWidget* parent = nullptr);

  void refresh();

 private:
  ReceiverController* m_controller;
  QLabel* m_device;
  QLineEdit* m_tUSBRx;
  QListWidget* m_List1;
  QLabel* m_state;
};

}  // namespace framework
