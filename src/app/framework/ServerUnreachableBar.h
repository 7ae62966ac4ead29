#pragma once

#include <QFrame>
#include <QTimer>

class QLabel;
class QPushButton;
class QTcpSocket;
namespace store {
class Store;
}

namespace framework {

// The strip across the top of the main window while the school's server cannot
// be reached: "Sunucuya ulaşılamıyor" and "Yeniden Dene". It appears when a
// read or a write found the connection broken (store::ServerLink),
// and tries again by itself every few seconds: first a knock on the server's
// port that never waits, then, when the port answers, the link's reconnect.
// When the server is back it disappears; the store tells the screens to read
// again. Hidden on a board that keeps its data in its own folder.
class ServerUnreachableBar : public QFrame {
  Q_OBJECT
 public:
  explicit ServerUnreachableBar(store::Store& store, QWidget* parent = nullptr);
  ~ServerUnreachableBar() override;

  static constexpr int kRetryMs = 5000;
  // How often it tries by itself (tests shorten it).
  void setRetryInterval(int ms) { m_timer.setInterval(ms); }

 private:
  void follow(bool reachable);
  // "Yeniden Dene": the store reopens the connection now.
  void retryNow();
  // The timer: knocks on the server's port; reopens only when it answers.
  void knock();

  store::Store& m_store;
  QLabel* m_text;
  QPushButton* m_retry;
  QTimer m_timer;
  QTcpSocket* m_knock = nullptr;
};

}  // namespace framework
