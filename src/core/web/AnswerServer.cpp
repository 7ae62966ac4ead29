#include "web/AnswerServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkInterface>
#include <QPointer>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>
#include <QWebSocket>

namespace web {

namespace {

constexpr qint64 kMinuteMs = 60000;

QString randomDigits(int low, int high) {
  return QString::number(QRandomGenerator::system()->bounded(low, high));
}

// 128 random bits: a device's key cannot be guessed within an activity.
QString randomKey() {
  quint32 words[4];
  QRandomGenerator::system()->fillRange(words);
  return QString::fromLatin1(
      QByteArray(reinterpret_cast<const char*>(words), sizeof(words)).toHex());
}

// A text field of a request body; numbers are taken as their digits too (a
// script may send "numara": 123).
QString field(const QJsonObject& o, const QString& key, bool* ok) {
  const QJsonValue v = o.value(key);
  if (v.isString()) return v.toString().trimmed();
  if (v.isDouble() && v.toDouble() == double(qint64(v.toDouble())))
    return QString::number(qint64(v.toDouble()));
  *ok = false;
  return {};
}

std::optional<QJsonObject> parseObject(const QByteArray& body) {
  QJsonParseError e;
  const QJsonDocument d = QJsonDocument::fromJson(body, &e);
  if (e.error != QJsonParseError::NoError || !d.isObject()) return std::nullopt;
  return d.object();
}

QString shortSurname(const QString& surname) {
  return surname.isEmpty() ? QString() : surname.left(1) + QLatin1Char('.');
}

// Qt's HTTP server reads a request whole before it is handed over, however
// long it is and however slowly it comes. This listener watches each connection
// first: what it sent since it was last answered, and since when. A connection
// over the limit gets a 413 and is closed; one whose request is not whole in
// time is dropped, and so is one that sends nothing for as long (else idle
// connections would hold the board's descriptors for ever).
class GuardedListener : public QTcpServer {
 public:
  GuardedListener(int timeoutMs, QObject* parent) : QTcpServer(parent), m_timeoutMs(timeoutMs) {
    m_sweep.setInterval(std::max(50, timeoutMs / 4));
    connect(&m_sweep, &QTimer::timeout, this, [this] { sweep(); });
    m_sweep.start();
    m_clock.start();
  }
  // A WebSocket's frames are not requests: it is no longer watched.
  void release(QTcpSocket* socket) {
    m_pending.remove(socket);
    socket->disconnect(this);
  }

 protected:
  void incomingConnection(qintptr descriptor) override {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
      delete socket;
      return;
    }
    // Connected before Qt's server sees the socket: this runs before it reads.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { arrived(socket); });
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] {
      if (m_pending.contains(socket)) m_pending[socket] = {0, -1, m_clock.elapsed()};
    });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { m_pending.remove(socket); });
    m_pending.insert(socket, {0, -1, m_clock.elapsed()});
    addPendingConnection(socket);
  }

 private:
  struct Pending {
    qint64 bytes = 0;
    qint64 sinceMs = -1;     // when the unanswered request began
    qint64 idleSinceMs = 0;  // connected or last answered
  };
  void arrived(QTcpSocket* socket) {
    auto it = m_pending.find(socket);
    if (it == m_pending.end()) return;
    if (it->sinceMs < 0) it->sinceMs = m_clock.elapsed();
    it->bytes += socket->bytesAvailable();
    if (it->bytes <= AnswerServer::kMaxPendingBytes) return;
    m_pending.erase(it);
    socket->disconnect(this);
    const QByteArray body =
        QJsonDocument(QJsonObject{{QStringLiteral("hata"), QStringLiteral("İstek çok büyük.")}})
            .toJson(QJsonDocument::Compact);
    (void)socket->readAll();
    socket->write(
        "HTTP/1.1 413 Payload Too Large\r\nContent-Type: application/json; "
        "charset=utf-8\r\nConnection: close\r\nContent-Length: " +
        QByteArray::number(body.size()) + "\r\n\r\n" + body);
    socket->disconnectFromHost();
  }
  void sweep() {
    const qint64 now = m_clock.elapsed();
    QList<QTcpSocket*> late;
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
      if (now - (it->sinceMs >= 0 ? it->sinceMs : it->idleSinceMs) > m_timeoutMs) late << it.key();
    for (QTcpSocket* socket : late) {
      m_pending.remove(socket);
      socket->abort();
    }
  }

  int m_timeoutMs;
  QTimer m_sweep;
  QElapsedTimer m_clock;
  QHash<QTcpSocket*, Pending> m_pending;
};

}  // namespace

AnswerServer::AnswerServer(activity::PressPipeline& pipeline, const activity::AnswerView& view,
                           QList<RosterEntry> roster, const receiver::Clock* clock, QObject* parent)
    : QAbstractHttpServer(parent),
      m_pipeline(pipeline),
      m_view(view),
      m_roster(std::move(roster)),
      m_clock(clock) {
  connect(this, &QAbstractHttpServer::newWebSocketConnection, this, &AnswerServer::acceptWebSocket);
  m_teacherRefresh = new QTimer(this);
  m_teacherRefresh->setInterval(250);
  connect(m_teacherRefresh, &QTimer::timeout, this, [this] {
    if (!m_pushedTeacher.isEmpty()) stateChanged();
  });
}

AnswerServer::~AnswerServer() { stop(); }

Status AnswerServer::start(const Options& options) {
  stop();
  const int tries = options.port == 0 ? 1 : kPortTries;
  for (int i = 0; i < tries && options.port + i <= 65535; ++i) {
    auto* tcp = new GuardedListener(options.requestTimeoutMs, this);
    if (tcp->listen(options.bind, quint16(options.port + i))) {
      bind(tcp);
      m_port = tcp->serverPort();
      break;
    }
    delete tcp;
  }
  if (m_port == 0)
    return Status::failure(
        QStringLiteral("Tarayıcı cevapları için sunucu açılamadı: %1 adresinde %2-%3 "
                       "kapılarının hepsi kullanılıyor ya da bu adres bu bilgisayarın değil.")
            .arg(options.bind.toString())
            .arg(options.port)
            .arg(options.port + tries - 1));
  m_bound = options.bind;
  m_joinCode = randomDigits(1000, 10000);
  m_teacherCode = randomDigits(100000, 1000000);
  m_teacherRefresh->start();
  return {};
}

void AnswerServer::stop() {
  for (QTcpServer* tcp : servers()) {
    tcp->close();
    delete tcp;
  }
  for (QWebSocket* ws : m_sockets.keys()) {
    ws->disconnect(this);
    ws->close(QWebSocketProtocol::CloseCodeGoingAway, QStringLiteral("Etkinlik bitti."));
    ws->deleteLater();
  }
  m_teacherRefresh->stop();
  m_sockets.clear();
  m_opened.clear();
  m_pushed.clear();
  m_pushedTeacher.clear();
  m_teacherKeys.clear();
  m_devices.clear();
  m_keyOfNumber.clear();
  m_limits.clear();
  m_port = 0;
  m_joinCode.clear();
  m_teacherCode.clear();
}

QString AnswerServer::url() const {
  QHostAddress shown = m_bound;
  if (shown == QHostAddress(QHostAddress::AnyIPv4) || shown == QHostAddress(QHostAddress::Any)) {
    shown = QHostAddress(QHostAddress::LocalHost);
    for (const QHostAddress& a : QNetworkInterface::allAddresses())
      if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback()) {
        shown = a;
        break;
      }
  }
  const QString host = shown.protocol() == QAbstractSocket::IPv6Protocol
                           ? QLatin1Char('[') + shown.toString() + QLatin1Char(']')
                           : shown.toString();
  return QStringLiteral("http://%1:%2/").arg(host).arg(m_port);
}

QStringList AnswerServer::joined() const { return m_keyOfNumber.keys(); }

void AnswerServer::release(const QString& number) {
  const QString key = m_keyOfNumber.take(number);
  if (key.isEmpty()) return;
  m_devices.remove(key);
  m_limits.remove(key);
  for (auto it = m_sockets.begin(); it != m_sockets.end();) {
    if (it.value() != key) {
      ++it;
      continue;
    }
    QWebSocket* ws = it.key();
    ws->disconnect(this);
    ws->close(QWebSocketProtocol::CloseCodePolicyViolated,
              QStringLiteral("Cihaz serbest bırakıldı."));
    ws->deleteLater();
    m_pushed.remove(ws);
    m_opened.remove(ws);
    it = m_sockets.erase(it);
  }
}

void AnswerServer::stateChanged() {
  std::optional<QJsonObject> teacher;  // the same for every teacher device
  for (auto it = m_sockets.cbegin(); it != m_sockets.cend(); ++it) {
    if (isTeacher(it.value())) {
      if (!teacher) teacher = teacherJson();
      auto pushed = m_pushedTeacher.find(it.key());
      if (pushed != m_pushedTeacher.end() && pushed.value() == *teacher) continue;
      m_pushedTeacher.insert(it.key(), *teacher);
      it.key()->sendTextMessage(
          QString::fromUtf8(QJsonDocument(*teacher).toJson(QJsonDocument::Compact)));
      continue;
    }
    const Device* d = deviceOf(it.value());
    if (!d) continue;
    const activity::AnswerState now = m_view.answerState(d->student->address);
    auto pushed = m_pushed.find(it.key());
    if (pushed != m_pushed.end() && pushed.value() == now) continue;
    m_pushed.insert(it.key(), now);
    it.key()->sendTextMessage(QString::fromUtf8(
        QJsonDocument(stateJson(d->student->address)).toJson(QJsonDocument::Compact)));
  }
}

AnswerServer::Reply AnswerServer::error(int status, const QString& text) {
  return {status, QJsonObject{{QStringLiteral("hata"), text}}};
}

const AnswerServer::Device* AnswerServer::deviceOf(const QString& key) const {
  const auto it = m_devices.constFind(key);
  return it == m_devices.cend() ? nullptr : &it.value();
}

QJsonObject AnswerServer::stateJson(const QString& address) const {
  const activity::AnswerState s = m_view.answerState(address);
  return {{QStringLiteral("soru"), s.question},
          {QStringLiteral("acik"), s.open},
          {QStringLiteral("cevap"), s.answer},
          {QStringLiteral("tuslar"), s.keys}};
}

QJsonObject AnswerServer::teacherJson() const {
  const activity::TeacherState t = m_view.teacherState();
  QJsonArray commands;
  if (!t.address.isEmpty())
    for (const activity::TeacherCommand& c : t.commands)
      commands.append(
          QJsonObject{{QStringLiteral("komut"), c.name}, {QStringLiteral("ad"), c.caption}});
  return {{QStringLiteral("ogretmen"), true},
          {QStringLiteral("baslik"), t.title},
          {QStringLiteral("bilgi"), t.info},
          {QStringLiteral("komutlar"), commands}};
}

bool AnswerServer::codeAccepted(const QString& code, const QString& expected, const QString& client,
                                Reply& reply) {
  Limits& l = m_limits[client];
  const qint64 now = m_clock->msecs();
  while (!l.failedCodes.isEmpty() && now - l.failedCodes.first() >= kMinuteMs)
    l.failedCodes.removeFirst();
  if (l.failedCodes.size() >= kCodeTriesPerMinute) {
    reply = error(429, QStringLiteral("Çok fazla yanlış kod denendi. Bir dakika sonra yeniden "
                                      "deneyin."));
    return false;
  }
  if (code.isEmpty() || code != expected) {
    l.failedCodes.append(now);
    reply = error(403, QStringLiteral("Kod yanlış."));
    return false;
  }
  return true;
}

bool AnswerServer::throttled(const QString& device, Reply& reply) {
  const qint64 now = m_clock->msecs();
  Limits& l = m_limits[device];
  if (now - l.lastMs < kMinRequestGapMs) {
    reply = error(429, QStringLiteral("Çok sık istek gönderildi. Biraz bekleyip yeniden deneyin."));
    return true;
  }
  l.lastMs = now;
  return false;
}

void AnswerServer::prune() {
  // A flood from many addresses must not grow the table without end.
  const qint64 now = m_clock->msecs();
  if (now - m_prunedAt < kMinuteMs) return;
  m_prunedAt = now;
  for (auto it = m_limits.begin(); it != m_limits.end();) {
    if (now - it->lastMs > kMinuteMs && !m_devices.contains(it.key()))
      it = m_limits.erase(it);
    else
      ++it;
  }
}

AnswerServer::Reply AnswerServer::join(const QByteArray& body, const QString& client) {
  const std::optional<QJsonObject> o = parseObject(body);
  bool ok = o.has_value();
  const QString code = ok ? field(*o, QStringLiteral("kod"), &ok) : QString();
  const QString number = ok ? field(*o, QStringLiteral("numara"), &ok) : QString();
  if (!ok) return error(400, QStringLiteral("İstek okunamadı."));
  if (Reply refused; !codeAccepted(code, m_joinCode, client, refused)) return refused;
  const RosterEntry* student = nullptr;
  for (const RosterEntry& e : m_roster)
    if (!number.isEmpty() && e.number == number) {
      student = &e;
      break;
    }
  if (!student) return error(404, QStringLiteral("Bu numarada bir öğrenci bu sınıfta yok."));
  if (m_keyOfNumber.contains(number))
    return error(409, QStringLiteral("Bu öğrenci başka bir cihazdan katıldı."));
  const QString key = randomKey();
  m_devices.insert(key, {student});
  m_keyOfNumber.insert(number, key);
  return {200,
          {{QStringLiteral("anahtar"), key},
           {QStringLiteral("ad"), student->name},
           {QStringLiteral("soyad"), shortSurname(student->surname)}}};
}

AnswerServer::Reply AnswerServer::teacherJoin(const QByteArray& body, const QString& client) {
  const std::optional<QJsonObject> o = parseObject(body);
  bool ok = o.has_value();
  const QString code = ok ? field(*o, QStringLiteral("kod"), &ok) : QString();
  if (!ok) return error(400, QStringLiteral("İstek okunamadı."));
  if (Reply refused; !codeAccepted(code, m_teacherCode, client, refused)) return refused;
  const QString key = randomKey();
  m_teacherKeys.append(key);
  while (m_teacherKeys.size() > kMaxTeacherDevices) {
    const QString old = m_teacherKeys.takeFirst();
    m_limits.remove(old);
    for (auto it = m_sockets.begin(); it != m_sockets.end();) {
      if (it.value() != old) {
        ++it;
        continue;
      }
      it.key()->disconnect(this);
      it.key()->close(QWebSocketProtocol::CloseCodePolicyViolated,
                      QStringLiteral("Öğretmen sayfası başka bir cihazda açıldı."));
      it.key()->deleteLater();
      m_pushedTeacher.remove(it.key());
      m_opened.remove(it.key());
      it = m_sockets.erase(it);
    }
  }
  return {200, {{QStringLiteral("anahtar"), key}, {QStringLiteral("ogretmen"), true}}};
}

AnswerServer::Reply AnswerServer::classList(const QString& code, const QString& client) {
  if (Reply refused; !codeAccepted(code, m_joinCode, client, refused)) return refused;
  QJsonArray students;
  for (const RosterEntry& e : m_roster)
    students.append(QJsonObject{{QStringLiteral("numara"), e.number},
                                {QStringLiteral("ad"), e.name},
                                {QStringLiteral("soyad"), shortSurname(e.surname)},
                                {QStringLiteral("katildi"), m_keyOfNumber.contains(e.number)}});
  return {200, {{QStringLiteral("ogrenciler"), students}}};
}

AnswerServer::Reply AnswerServer::command(const QByteArray& body) {
  const std::optional<QJsonObject> o = parseObject(body);
  if (!o || !o->value(QStringLiteral("anahtar")).isString() ||
      !o->value(QStringLiteral("komut")).isString())
    return error(400, QStringLiteral("İstek okunamadı."));
  if (!isTeacher(o->value(QStringLiteral("anahtar")).toString()))
    return error(401, QStringLiteral("Öğretmen girişi geçersiz. Öğretmen kodunu yeniden girin."));
  const activity::TeacherState now = m_view.teacherState();
  const activity::TeacherCommand* c = now.find(o->value(QStringLiteral("komut")).toString());
  if (now.address.isEmpty() || !c) return error(409, QStringLiteral("Bu komut şu an verilemez."));
  switch (m_pipeline.feed({now.address, c->key, -1, QStringLiteral("WEB")})) {
    case activity::PressPipeline::Outcome::Delivered:
      break;
    case activity::PressPipeline::Outcome::Repeat:
      // Within a second of the same key: a remote's held button, dropped alike.
      return error(409,
                   QStringLiteral("Bu komut az önce verildi. Biraz bekleyip yeniden deneyin."));
    case activity::PressPipeline::Outcome::NoTarget:
      return error(409, QStringLiteral("Bu komut şu an verilemez."));
  }
  return {200, teacherJson()};
}

AnswerServer::Reply AnswerServer::state(const QString& key) const {
  if (isTeacher(key)) return {200, teacherJson()};
  const Device* d = deviceOf(key);
  if (!d) return error(401, QStringLiteral("Katılım geçersiz. Kodu yeniden girin."));
  return {200, stateJson(d->student->address)};
}

AnswerServer::Reply AnswerServer::answer(const QByteArray& body) {
  const std::optional<QJsonObject> o = parseObject(body);
  if (!o || !o->value(QStringLiteral("anahtar")).isString() ||
      !o->value(QStringLiteral("cevap")).isString() || !o->value(QStringLiteral("soru")).isDouble())
    return error(400, QStringLiteral("İstek okunamadı."));
  const Device* d = deviceOf(o->value(QStringLiteral("anahtar")).toString());
  if (!d) return error(401, QStringLiteral("Katılım geçersiz. Kodu yeniden girin."));
  const QString address = d->student->address;
  const activity::AnswerState now = m_view.answerState(address);
  const QString letter = o->value(QStringLiteral("cevap")).toString();
  if (letter.size() != 1 || (letter != QLatin1String("X") && !now.keys.contains(letter)))
    return error(400, QStringLiteral("Bu cevap bu etkinlikte verilemez."));
  const double soru = o->value(QStringLiteral("soru")).toDouble();
  if (!now.open || soru != double(now.question))
    return error(409, QStringLiteral("Bu soru için şu an cevap alınmıyor."));
  m_pipeline.feed({address, letter, -1, QStringLiteral("WEB")});
  return {200, stateJson(address)};
}

bool AnswerServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
  // Qt hands a WebSocket upgrade to its WebSocket server once it is taken here,
  // with nothing written; the key is checked as the socket arrives
  // (acceptWebSocket()).
  if (request.url().path() == QLatin1String("/ws") &&
      request.value(QByteArrayLiteral("upgrade")).compare("websocket", Qt::CaseInsensitive) == 0 &&
      request.method() == QHttpServerRequest::Method::Get) {
    for (QTcpServer* tcp : servers())
      if (auto* guard = dynamic_cast<GuardedListener*>(tcp)) guard->release(socket);
    return true;
  }
  QHttpServerResponder responder = makeResponder(request, socket);
  prune();
  const QString client = request.remoteAddress().toString();
  qsizetype size = request.url().toEncoded().size() + request.body().size();
  for (const auto& h : request.headers()) size += h.first.size() + h.second.size() + 4;
  const QString path = request.url().path();
  const auto known = [this](const QString& key) { return deviceOf(key) || isTeacher(key); };
  const auto bodyKey = [](const QByteArray& body) {
    const std::optional<QJsonObject> o = parseObject(body);
    return o ? o->value(QStringLiteral("anahtar")).toString() : QString();
  };
  const auto method = request.method();
  const bool get = method == QHttpServerRequest::Method::Get;
  const bool post = method == QHttpServerRequest::Method::Post;

  Reply reply;
  if (size > kMaxRequestBytes ||
      request.value(QByteArrayLiteral("content-length")).toLongLong() > kMaxRequestBytes) {
    reply = error(413, QStringLiteral("İstek çok büyük."));
  } else if (path == QLatin1String("/") && get) {
    QFile page(QStringLiteral(":/web/sayfa.html"));
    if (!page.open(QIODevice::ReadOnly)) {
      reply = error(500, QStringLiteral("Sayfa açılamadı."));
    } else {
      responder.write(page.readAll(), {{"Content-Type", "text/html; charset=utf-8"},
                                       {"Cache-Control", "no-store"},
                                       {"X-Content-Type-Options", "nosniff"}});
      return true;
    }
  } else if (path == QLatin1String("/api/katil") && post) {
    if (!throttled(client, reply)) reply = join(request.body(), client);
  } else if (path == QLatin1String("/api/durum") && get) {
    const QString key = request.query().queryItemValue(QStringLiteral("anahtar"));
    if (!throttled(known(key) ? key : client, reply)) reply = state(key);
  } else if (path == QLatin1String("/api/cevap") && post) {
    const QString key = bodyKey(request.body());
    if (!throttled(known(key) ? key : client, reply)) reply = answer(request.body());
  } else if (path == QLatin1String("/api/ogretmen") && post) {
    if (!throttled(client, reply)) reply = teacherJoin(request.body(), client);
  } else if (path == QLatin1String("/api/komut") && post) {
    const QString key = bodyKey(request.body());
    if (!throttled(known(key) ? key : client, reply)) reply = command(request.body());
  } else if (path == QLatin1String("/api/sinif") && get) {
    if (!throttled(client, reply))
      reply = classList(request.query().queryItemValue(QStringLiteral("kod")).trimmed(), client);
  } else if (path == QLatin1String("/") || path == QLatin1String("/api/katil") ||
             path == QLatin1String("/api/durum") || path == QLatin1String("/api/cevap") ||
             path == QLatin1String("/api/ogretmen") || path == QLatin1String("/api/komut") ||
             path == QLatin1String("/api/sinif")) {
    reply = error(405, QStringLiteral("Bu adres bu istekle kullanılamaz."));
  } else {
    reply = error(404, QStringLiteral("Böyle bir adres yok."));
  }
  responder.write(
      QJsonDocument(reply.body).toJson(QJsonDocument::Compact),
      {{"Content-Type", "application/json; charset=utf-8"}, {"Cache-Control", "no-store"}},
      QHttpServerResponder::StatusCode(reply.status));
  return true;
}

void AnswerServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
  makeResponder(request, socket)
      .write(QJsonDocument(error(404, QStringLiteral("Böyle bir adres yok.")).body)
                 .toJson(QJsonDocument::Compact),
             {{"Content-Type", "application/json; charset=utf-8"}},
             QHttpServerResponder::StatusCode::NotFound);
}

void AnswerServer::forget(QWebSocket* ws) {
  m_sockets.remove(ws);
  m_pushed.remove(ws);
  m_pushedTeacher.remove(ws);
  m_opened.remove(ws);
}

void AnswerServer::acceptWebSocket() {
  while (hasPendingWebSocketConnections()) {
    QWebSocket* ws = nextPendingWebSocketConnection().release();
    if (!ws) break;
    ws->setParent(this);
    const QUrl url = ws->requestUrl();
    const QString key = QUrlQuery(url).queryItemValue(QStringLiteral("anahtar"));
    if (url.path() != QLatin1String("/ws") || !(deviceOf(key) || isTeacher(key))) {
      ws->close(QWebSocketProtocol::CloseCodePolicyViolated,
                QStringLiteral("Katılım geçersiz. Kodu yeniden girin."));
      ws->deleteLater();
      continue;
    }
    // The page sends nothing over it: a frame bigger than a request is not
    // buffered, the socket is closed.
    ws->setMaxAllowedIncomingMessageSize(quint64(kMaxRequestBytes));
    ws->setMaxAllowedIncomingFrameSize(quint64(kMaxRequestBytes));
    QList<QWebSocket*> same;
    for (auto it = m_sockets.cbegin(); it != m_sockets.cend(); ++it)
      if (it.value() == key) same << it.key();
    // Oldest first: the sockets are created in order.
    std::sort(same.begin(), same.end(), [this](QWebSocket* a, QWebSocket* b) {
      return m_opened.value(a) < m_opened.value(b);
    });
    while (same.size() >= kMaxSocketsPerKey) {
      QWebSocket* old = same.takeFirst();
      old->disconnect(this);
      old->close(QWebSocketProtocol::CloseCodePolicyViolated,
                 QStringLiteral("Bu cihaz başka bir bağlantıyla bağlandı."));
      old->deleteLater();
      forget(old);
    }
    m_sockets.insert(ws, key);
    m_opened.insert(ws, ++m_openedCount);
    connect(ws, &QWebSocket::disconnected, this, [this, ws] {
      forget(ws);
      ws->deleteLater();
    });
    // Messages from the page are not taken: answers come by POST, through the
    // same checks as every other request.
    stateChanged();
  }
}

}  // namespace web
