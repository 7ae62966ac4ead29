#include "store/ServerSettings.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSqlDatabase>

#include <atomic>

#include "Messages.h"
#include "store/Dialect.h"
#include "store/ServerDatabase.h"
#include "store/Sql.h"
#include "store/Store.h"

namespace store {

namespace {

const QString kHost = QStringLiteral("Makine");
const QString kPort = QStringLiteral("Port");
const QString kDatabase = QStringLiteral("Veritabani");
const QString kUser = QStringLiteral("Kullanici");
const QString kPassword = QStringLiteral("Sifre");
const QString kUse = QStringLiteral("BuTahtadaKullan");

QString unreadable(const QString& path) {
  return QStringLiteral("Okul sunucusu ayarları okunamadı: %1").arg(QDir::toNativeSeparators(path));
}

// "derslik-cli --sunucu ADRES server init" with the address filled in.
QString noSchemaFor(const ServerAddress& address) {
  QString text = noSchemaMessage();
  text.replace(QStringLiteral("--sunucu ADRES"), QStringLiteral("--sunucu ") + address.url());
  return text;
}

ServerProbe schemaState(const QSqlDatabase& db, const ServerAddress& address) {
  Result<QStringList> tables = dialectOf(db).tables(db);
  if (!tables) return {false, unreachableMessage(tables.error())};
  if (tables->isEmpty())
    return {false,
            QStringLiteral("Bağlantı kuruldu, ancak veritabanı boş. ") + noSchemaFor(address)};
  if (!tables->contains(QStringLiteral("TABLEVERSIYON"))) return {false, foreignDatabaseMessage()};
  Result<QVariant> stored =
      scalar(QStringLiteral("SELECT MAX(VAL(VTVERIVERSIYON)) FROM TABLEVERSIYON"), {}, db);
  if (!stored) return {false, stored.error()};
  const int version = stored->isNull() ? 0 : int(stored->toDouble());
  const int ours = serverSchemaVersion();
  if (version > ours) return {false, newerSchemaMessage()};
  if (version < ours)
    return {true, QStringLiteral("Bağlantı kuruldu. Sunucudaki Derslik veritabanı eski bir sürümde "
                                 "(%1); bu tahta onu açarken sürüm %2'ye günceller.")
                      .arg(version)
                      .arg(ours)};
  return {true, QStringLiteral("Bağlantı kuruldu. Sunucudaki Derslik veritabanı kullanıma hazır "
                               "(sürüm %1).")
                    .arg(version)};
}

}  // namespace

QString ServerSettings::fileName() { return QStringLiteral("OkulSunucusu.json"); }

Result<ServerSettings> ServerSettings::load(const QString& folder) {
  using R = Result<ServerSettings>;
  const QString path = QDir(folder).filePath(fileName());
  QFile file(path);
  if (!file.exists()) return ServerSettings();
  if (!file.open(QIODevice::ReadOnly)) return R::failure(unreadable(path));
  QJsonParseError error{};
  const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
  if (error.error != QJsonParseError::NoError || !doc.isObject())
    return R::failure(unreadable(path) + QStringLiteral(" (dosya bozuk)"));
  const QJsonObject o = doc.object();
  ServerSettings s;
  s.host = o.value(kHost).toString();
  s.port = o.value(kPort).toInt(5432);
  s.database = o.value(kDatabase).toString();
  s.user = o.value(kUser).toString();
  s.password = o.value(kPassword).toString();
  s.useOnThisBoard = o.value(kUse).toBool(false);
  return s;
}

Status ServerSettings::save(const QString& folder) const {
  const QString path = QDir(folder).filePath(fileName());
  const auto failed = [&path] {
    return Status::failure(QStringLiteral("Okul sunucusu ayarları kaydedilemedi: %1")
                               .arg(QDir::toNativeSeparators(path)));
  };
  QDir().mkpath(folder);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return failed();
  // Before the password is in it: a file that existed keeps its mode otherwise.
  if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
    file.cancelWriting();
    return failed();
  }
  const QJsonObject o{{kHost, host}, {kPort, port},         {kDatabase, database},
                      {kUser, user}, {kPassword, password}, {kUse, useOnThisBoard}};
  if (file.write(QJsonDocument(o).toJson()) < 0 || !file.commit()) return failed();
  return {};
}

Result<ServerAddress> ServerSettings::address() const {
  using R = Result<ServerAddress>;
  ServerAddress a;
  a.host = host.trimmed();
  a.database = database.trimmed();
  a.user = user.trimmed();
  a.port = port;
  if (a.host.isEmpty())
    return R::failure(QStringLiteral("Sunucunun makine adını ya da IP adresini giriniz."));
  if (port < 1 || port > 65535)
    return R::failure(QStringLiteral("Port 1 ile 65535 arasında bir sayı olmalı."));
  if (a.database.isEmpty()) return R::failure(QStringLiteral("Veritabanının adını giriniz."));
  if (a.user.isEmpty()) return R::failure(QStringLiteral("Sunucudaki kullanıcı adını giriniz."));
  return a;
}

Result<ServerLogin> ServerSettings::login() const {
  Result<ServerAddress> a = address();
  if (!a) return Result<ServerLogin>::failure(a.error());
  return ServerLogin{a.value(), password};
}

bool ServerSettings::sameAddress(const ServerAddress& other) const {
  Result<ServerAddress> a = address();
  return a && a->host == other.host && a->port == other.port && a->database == other.database &&
         a->user == other.user;
}

QString passwordFromInput(const QByteArray& input) {
  QString s = QString::fromUtf8(input);
  while (s.endsWith(QLatin1Char('\n')) || s.endsWith(QLatin1Char('\r'))) s.chop(1);
  return s;
}

Result<std::optional<ServerLogin>> boardServerLogin(const QString& givenUrl,
                                                    const QString& givenPassword,
                                                    const ServerSettings& settings) {
  using R = Result<std::optional<ServerLogin>>;
  if (givenUrl.trimmed().isEmpty()) {
    if (!givenPassword.isEmpty())
      return R::failure(
          QStringLiteral("--password-stdin yalnızca bir sunucu adresiyle kullanılır."));
    if (!settings.useOnThisBoard) return std::optional<ServerLogin>();
    Result<ServerLogin> login = settings.login();
    if (!login) return R::failure(QStringLiteral("Okul sunucusu ayarları eksik: ") + login.error());
    return std::optional<ServerLogin>(login.value());
  }
  Result<ServerAddress> address = ServerAddress::parse(givenUrl);
  if (!address) return R::failure(address.error());
  ServerLogin login{address.value(), givenPassword};
  if (login.password.isEmpty() && settings.sameAddress(login.address))
    login.password = settings.password;
  return std::optional<ServerLogin>(login);
}

ServerProbe probeServer(const ServerLogin& login) {
  static std::atomic<int> counter{0};
  const QString connection = QStringLiteral("derslik-deneme-%1").arg(++counter);
  ServerProbe probe;
  {
    Result<QSqlDatabase> db = openServer(connection, login);
    if (!db) {
      probe.message = db.error();
    } else {
      probe = schemaState(db.value(), login.address);
      db.value().close();
    }
  }
  QSqlDatabase::removeDatabase(connection);
  return probe;
}

QString ownDataQuestion(const QString& reason) {
  return reason + QStringLiteral("\n\nBu tahtanın kendi verileriyle devam edilsin mi?");
}

BoardData chooseBoardData(Store& store, const std::optional<ServerLogin>& login, Messages& messages,
                          const std::function<void(const QString&)>& progress) {
  if (!login) return BoardData::OwnFolder;
  store.log(QStringLiteral("Okul sunucusu: ") + login->address.url());
  if (progress)
    progress(QStringLiteral("Okul sunucusuna bağlanılıyor: %1").arg(login->address.hostAndPort()));
  const ServerProbe probe = probeServer(*login);
  if (progress) progress({});
  if (probe.usable) {
    store.useServer(*login);
    return BoardData::Server;
  }
  store.log(probe.message);
  if (!messages.ask(ownDataQuestion(probe.message), QStringLiteral("Okul Sunucusu"))) {
    store.log(QStringLiteral("Okul sunucusu açılamadı; Derslik kapatıldı."));
    return BoardData::Quit;
  }
  store.log(QStringLiteral("Okul sunucusu açılamadı; tahtanın kendi verileriyle devam ediliyor."));
  return BoardData::OwnFolder;
}

}  // namespace store
