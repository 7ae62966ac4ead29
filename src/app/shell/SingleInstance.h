#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalServer;

namespace shell {

// One Derslik per data folder. The first start holds a lock file in the folder
// and listens on a local socket named after the folder; a second start finds
// the lock, asks the first to bring its window forward, and ends without a word.
// Only when the first cannot be reached does the second start say so.
class SingleInstance : public QObject {
  Q_OBJECT
 public:
  enum class Outcome {
    First,             // this process runs the program
    OtherBroughtUp,    // the running one was asked to come forward
    OtherUnreachable,  // the folder is locked but nobody answers
  };

  explicit SingleInstance(const QString& dataFolder, QObject* parent = nullptr);
  ~SingleInstance() override;

  Outcome claim();
  // The socket name for a data folder (the same folder gives the same name).
  static QString serverName(const QString& dataFolder);

  static QString unreachableMessage() {
    return QStringLiteral("Derslik zaten açık. Açık olan pencereyi kullanınız.");
  }
  // What a second start given a file (double-clicked) says.
  static QString fileForRunningMessage(const QString& file);

 signals:
  // A second start asked for the window.
  void bringToFrontRequested();

 private:
  void answer();

  QString m_name;
  QLockFile m_lock;
  QLocalServer* m_server = nullptr;
};

}  // namespace shell
