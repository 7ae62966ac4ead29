#pragma once

#include <QMainWindow>

class QMdiArea;

// The main window: every screen opens inside it.
class MDIForm1 : public QMainWindow {
  Q_OBJECT
 public:
  explicit MDIForm1(QWidget* parent = nullptr);
  ~MDIForm1() override;

  QMdiArea* mdiArea() const { return m_mdi; }

 private:
  QMdiArea* m_mdi = nullptr;
};
