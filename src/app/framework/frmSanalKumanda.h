#pragma once

#include <QPointer>
#include <QWidget>

#include <array>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace framework {
class ReceiverController;
}

// The virtual remote: the teacher answers in place of a remote. A click (or the
// key of the letter) makes exactly the press a remote with the chosen address
// would make, so every screen handles it through the normal routing. It is a
// small tool window that closes with the window that opened it.
class frmSanalKumanda : public QWidget {
  Q_OBJECT
 public:
  static inline const QString kSection = QStringLiteral("Sanal Kumanda");
  static inline const QString kCode = QStringLiteral("181");
  // The window's one line of help.
  static QString helpText() { return QStringLiteral("Cevap vermek için bir harfe basın"); }

  // `opener` is the presentation or attendance screen; when it implements
  // SanalKumandaHost its remotes and questions are listed.
  frmSanalKumanda(QWidget* opener, framework::ReceiverController* controller);
  ~frmSanalKumanda() override;

  // Index 0..5 stands for A, B, C, D, E, X.
  void cmdDugme_Click(int index);
  QPushButton* cmdDugme(int index) const { return m_buttons[size_t(index)]; }
  QListWidget* lstAdresler() const { return m_lstAdresler; }
  QTreeWidget* LVSorular() const { return m_LVSorular; }
  QLineEdit* txtAdi() const { return m_txtAdi; }
  QLineEdit* txtSoyadi() const { return m_txtSoyadi; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  bool letterKey(QKeyEvent* event);
  void savePosition();
  void fill();

  QPointer<QWidget> m_opener;
  framework::ReceiverController* m_controller;
  std::array<QPushButton*, 6> m_buttons{};
  QListWidget* m_lstAdresler;
  QTreeWidget* m_LVSorular;
  QLineEdit* m_txtAdi;
  QLineEdit* m_txtSoyadi;
  bool m_saved = false;
};
