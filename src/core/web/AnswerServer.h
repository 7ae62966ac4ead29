#pragma once

#include <QAbstractHttpServer>
#include <QHash>
#include <QHostAddress>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QTimer>

#include "Result.h"
#include "activity/AnswerView.h"
#include "activity/PressPipeline.h"
#include "receiver/Clock.h"
#include "web/Roster.h"

class QWebSocket;

namespace web {

// The web server an activity opens for the students' own devices while it runs.
// A student joins with the activity's four-digit code and their school number,
// gets a random key, and from then on their answers go into the press pipeline
// as presses of their address (their paired remote's, or their browser address),
// exactly as a remote's would: the pipeline and the activity never learn that a
// browser sent them. What the device shows comes from the activity's AnswerView;
// stateChanged() pushes it to every connected WebSocket.
//
//   web::AnswerServer server(pipeline, session, roster);
//   if (Status s = server.start(options); !s) return fail(s.error());
//   connect(&session, &RunSession::changed, &server, &web::AnswerServer::stateChanged);
//
// The six-digit teacher code, shown only on the teacher's screen, opens the same
// page as the teacher's: it shows the commands the activity offers now
// (AnswerView::teacherState()) and sends each as a teacher-remote press, into the
// same pipeline.
//
// Nothing a device sends reaches the activity unless it is a well-formed answer
// of a joined student to the question asked now, or a command the activity
// offers now from the teacher's device; every other request gets a 4xx with
// {"hata": "..."} in Turkish. Only the one page of Derslik's own resources is
// served, never a file from disk.
//
// Besides the contract: POST /api/ogretmen {"kod"} -> {"anahtar","ogretmen":true};
// with that key /api/durum and /ws give the teacher's state
// {"ogretmen":true,"baslik","bilgi","komutlar":[{"komut","ad"}]}, and POST
// /api/komut {"anahtar","komut"} carries one command out. GET /api/sinif?kod=
// lists the class for picking a name: {"ogrenciler":[{"numara","ad","soyad",
// "katildi"}]}.
class AnswerServer : public QAbstractHttpServer {
  Q_OBJECT
 public:
  struct Options {
    QHostAddress bind = QHostAddress::AnyIPv4;
    quint16 port = 8180;  // the next free one is taken when it is busy
    // A request not whole after this long is dropped (a slow client holds
    // nothing of the board's for longer).
    int requestTimeoutMs = 10000;
  };
  static constexpr int kPortTries = 20;
  static constexpr qsizetype kMaxRequestBytes = 4096;
  static constexpr qint64 kMinRequestGapMs = 100;
  static constexpr int kCodeTriesPerMinute = 10;
  // Bytes a connection may send before it is answered: a request of 4 KB with
  // what a browser adds to it. More is cut off as it arrives, never buffered.
  static constexpr qint64 kMaxPendingBytes = 2 * kMaxRequestBytes;
  // A reloaded page opens a new WebSocket before the old one is seen closed;
  // more than this per device closes the oldest.
  static constexpr int kMaxSocketsPerKey = 2;
  // The teacher's phone and tablet; a further one takes the oldest one's place.
  static constexpr int kMaxTeacherDevices = 4;

  AnswerServer(activity::PressPipeline& pipeline, const activity::AnswerView& view,
               QList<RosterEntry> roster,
               const receiver::Clock* clock = &receiver::SteadyClock::instance(),
               QObject* parent = nullptr);
  ~AnswerServer() override;

  // Listens, with new codes; the failure says why in Turkish.
  Status start(const Options& options);
  // Stops listening and forgets every device: the keys die with the activity.
  void stop();
  bool listening() const { return m_port != 0; }
  quint16 port() const { return m_port; }
  // "http://10.1.2.3:8180/": the address on the bound interface, or the first
  // non-loopback IPv4 address of the board when bound to every interface.
  QString url() const;
  QString joinCode() const { return m_joinCode; }
  QString teacherCode() const { return m_teacherCode; }
  // The students who joined, by school number.
  QStringList joined() const;
  // "Cihazı Serbest Bırak": the student may join again from another device.
  void release(const QString& number);

 public slots:
  // The activity changed: every device whose state differs is told.
  void stateChanged();

 protected:
  bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
  void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

 private:
  struct Reply {
    int status = 200;
    QJsonObject body;
  };
  struct Device {  // a joined student's device, by its key
    const RosterEntry* student = nullptr;
  };
  struct Limits {  // of one device: a client address before joining, a key after
    qint64 lastMs = -1000000;
    QList<qint64> failedCodes;
  };

  Reply join(const QByteArray& body, const QString& client);
  Reply teacherJoin(const QByteArray& body, const QString& client);
  Reply classList(const QString& code, const QString& client);
  Reply state(const QString& key) const;
  Reply answer(const QByteArray& body);
  Reply command(const QByteArray& body);
  // A code tried by `client`: false (and the reply) when it is wrong or the
  // client has tried too many wrong ones this minute.
  bool codeAccepted(const QString& code, const QString& expected, const QString& client,
                    Reply& reply);
  QJsonObject teacherJson() const;
  bool isTeacher(const QString& key) const { return m_teacherKeys.contains(key); }
  // False (and the 429 in `reply`) when the device asks again within 100 ms.
  bool throttled(const QString& device, Reply& reply);
  QJsonObject stateJson(const QString& address) const;
  const Device* deviceOf(const QString& key) const;
  void acceptWebSocket();
  void forget(QWebSocket* ws);
  void prune();
  static Reply error(int status, const QString& text);

  activity::PressPipeline& m_pipeline;
  const activity::AnswerView& m_view;
  QList<RosterEntry> m_roster;
  const receiver::Clock* m_clock;
  quint16 m_port = 0;
  QHostAddress m_bound;
  QString m_joinCode;
  QString m_teacherCode;
  QHash<QString, Device> m_devices;       // by key
  QHash<QString, QString> m_keyOfNumber;  // school number -> key
  QHash<QString, Limits> m_limits;        // by device
  QHash<QWebSocket*, QString> m_sockets;  // -> key
  QHash<QWebSocket*, activity::AnswerState> m_pushed;
  QHash<QWebSocket*, QJsonObject> m_pushedTeacher;
  QStringList m_teacherKeys;             // oldest first
  QHash<QWebSocket*, quint64> m_opened;  // in the order they came
  quint64 m_openedCount = 0;
  // The teacher's commands change with time too (the key delay after "next").
  QTimer* m_teacherRefresh = nullptr;
  qint64 m_prunedAt = 0;
};

}  // namespace web
