#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QWebSocket>

// A student's device as the tests play it: plain HTTP requests to the answer
// server, each waited for (the server's own loop keeps running meanwhile).
class WebClient {
 public:
  struct Reply {
    int status = 0;
    QJsonObject json;
    QByteArray body;
    QString error() const { return json.value(QStringLiteral("hata")).toString(); }
  };

  explicit WebClient(QString base) : m_base(std::move(base)) {}

  Reply get(const QString& path) { return call("GET", path, {}); }
  Reply post(const QString& path, const QByteArray& body) { return call("POST", path, body); }
  Reply post(const QString& path, const QJsonObject& body) {
    return post(path, QJsonDocument(body).toJson(QJsonDocument::Compact));
  }
  // The same, asked again while the server says "too often" (every request of
  // a test comes from one address).
  Reply patient(const QByteArray& method, const QString& path, const QByteArray& body = {}) {
    Reply r;
    for (int i = 0; i < 50; ++i) {
      r = call(method, path, body);
      if (r.status != 429) break;
      pause(120);
    }
    return r;
  }
  static QJsonObject joinBody(const QString& code, const QString& number) {
    return {{QStringLiteral("kod"), code}, {QStringLiteral("numara"), number}};
  }
  Reply join(const QString& code, const QString& number) {
    return patient("POST", QStringLiteral("/api/katil"),
                   QJsonDocument(joinBody(code, number)).toJson(QJsonDocument::Compact));
  }
  Reply answer(const QString& key, int question, const QString& letter) {
    return patient("POST", QStringLiteral("/api/cevap"),
                   QJsonDocument(QJsonObject{{QStringLiteral("anahtar"), key},
                                             {QStringLiteral("soru"), question},
                                             {QStringLiteral("cevap"), letter}})
                       .toJson(QJsonDocument::Compact));
  }
  Reply state(const QString& key) {
    return patient("GET", QStringLiteral("/api/durum?anahtar=") + key);
  }
  // Waits (up to `ms`) until the device sees question `question` open.
  bool waitOpen(const QString& key, int question, int ms = 4000) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
      const Reply r = state(key);
      if (r.json.value(QStringLiteral("soru")).toInt() == question &&
          r.json.value(QStringLiteral("acik")).toBool())
        return true;
      pause(120);
    }
    return false;
  }

  static void pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
  }
  // Runs the loop until `done` or `ms` have passed.
  template <typename Done>
  static bool waitUntil(Done done, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) pause(10);
    return done();
  }

 private:
  Reply call(const QByteArray& method, const QString& path, const QByteArray& body) {
    QNetworkRequest request(QUrl(m_base + path.mid(1)));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    QNetworkReply* reply = m_net.sendCustomRequest(request, method, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    Reply r;
    r.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    r.body = reply->readAll();
    r.json = QJsonDocument::fromJson(r.body).object();
    reply->deleteLater();
    return r;
  }

  QString m_base;  // "http://127.0.0.1:8180/"
  QNetworkAccessManager m_net;
};

// A device's WebSocket: the state objects pushed to it, in order.
class PushedStates : public QObject {
 public:
  PushedStates(const QString& base, const QString& key) {
    QString url = base;
    url.replace(QStringLiteral("http://"), QStringLiteral("ws://"));
    QObject::connect(&m_socket, &QWebSocket::textMessageReceived, this, [this](const QString& m) {
      states.append(QJsonDocument::fromJson(m.toUtf8()).object());
    });
    QObject::connect(&m_socket, &QWebSocket::disconnected, this, [this] { closed = true; });
    m_socket.open(QUrl(url + QStringLiteral("ws?anahtar=") + key));
  }
  void send(const QString& message) { m_socket.sendTextMessage(message); }
  QList<QJsonObject> states;
  bool closed = false;

 private:
  QWebSocket m_socket;
};
