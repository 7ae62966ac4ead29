#include "screens/start/frmOkulSunucusu.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>

#include "Messages.h"
#include "exchange/FolderImport.h"
#include "store/Store.h"

namespace {

QPushButton* button(const QString& text, const QString& name, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(name);
  b->setMinimumSize(std::max(150, b->sizeHint().width() + 24), 40);
  return b;
}

QLineEdit* field(const QString& name, const QString& example, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setMaxLength(255);
  e->setPlaceholderText(example);
  return e;
}

}  // namespace

frmOkulSunucusu::frmOkulSunucusu(const ScreenContext& context, QWidget* parent)
    : QDialog(parent),
      m_context(context),
      m_makine(
          field(QStringLiteral("txtMakine"), QStringLiteral("örnek: sunucu.okul.local"), this)),
      m_port(new QSpinBox(this)),
      m_veritabani(field(QStringLiteral("txtVeritabani"), QStringLiteral("örnek: derslik"), this)),
      m_kullanici(field(QStringLiteral("txtKullanici"), QStringLiteral("örnek: derslik"), this)),
      m_sifre(field(QStringLiteral("txtSifre"), QString(), this)),
      m_durum(new QLabel(this)),
      m_sonuc(new QLabel(this)) {
  setObjectName(QStringLiteral("frmOkulSunucusu"));
  setWindowTitle(QStringLiteral("Okul Sunucusu"));
  setModal(true);
  setMinimumWidth(620);

  auto* intro = new QLabel(
      QStringLiteral("Okulun bütün tahtaları soru bankasını, sınıfları, kumandaları, "
                     "kullanıcıları ve uygulamaları okulun PostgreSQL sunucusunda ortak "
                     "tutabilir. Sunucunun bilgilerini okulun bilişim sorumlusundan alınız."),
      this);
  intro->setWordWrap(true);
  m_port->setObjectName(QStringLiteral("txtPort"));
  m_port->setRange(1, 65535);
  m_port->setValue(5432);
  m_sifre->setEchoMode(QLineEdit::Password);
  m_durum->setObjectName(QStringLiteral("lblDurum"));
  m_durum->setWordWrap(true);
  m_sonuc->setObjectName(QStringLiteral("lblSonuc"));
  m_sonuc->setWordWrap(true);
  m_sonuc->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_sonuc->setMinimumHeight(60);
  m_sonuc->setAlignment(Qt::AlignTop | Qt::AlignLeft);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Makine:"), m_makine);
  form->addRow(QStringLiteral("Port:"), m_port);
  form->addRow(QStringLiteral("Veritabanı:"), m_veritabani);
  form->addRow(QStringLiteral("Kullanıcı:"), m_kullanici);
  form->addRow(QStringLiteral("Şifre:"), m_sifre);

  QPushButton* dene =
      button(QStringLiteral("Bağlantıyı Dene"), QStringLiteral("cmdBaglantiyiDene"), this);
  QPushButton* kullan =
      button(QStringLiteral("Bu Tahtada Kullan"), QStringLiteral("cmdBuTahtadaKullan"), this);
  m_kendiVerileri = button(QStringLiteral("Tahtanın Kendi Verilerini Kullan"),
                           QStringLiteral("cmdKendiVerileri"), this);
  m_aktar = button(QStringLiteral("Bu Tahtanın Verilerini Sunucuya Aktar"),
                   QStringLiteral("cmdVerileriAktar"), this);
  QPushButton* kapat = button(QStringLiteral("Kapat"), QStringLiteral("cmdKapat"), this);
  connect(dene, &QPushButton::clicked, this, &frmOkulSunucusu::BaglantiyiDene);
  connect(kullan, &QPushButton::clicked, this, &frmOkulSunucusu::BuTahtadaKullan);
  connect(m_kendiVerileri, &QPushButton::clicked, this, &frmOkulSunucusu::KendiVerileriniKullan);
  connect(m_aktar, &QPushButton::clicked, this, &frmOkulSunucusu::VerileriSunucuyaAktar);
  connect(kapat, &QPushButton::clicked, this, &QDialog::reject);

  auto* tryRow = new QHBoxLayout;
  tryRow->addWidget(dene);
  tryRow->addStretch();
  tryRow->addWidget(m_aktar);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_kendiVerileri);
  buttons->addStretch();
  buttons->addWidget(kapat);
  buttons->addWidget(kullan);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(intro);
  layout->addWidget(m_durum);
  layout->addLayout(form);
  layout->addLayout(tryRow);
  layout->addWidget(m_sonuc);
  layout->addLayout(buttons);

  const Result<store::ServerSettings> saved = store::ServerSettings::load(m_context.store.root());
  if (saved) {
    m_saved = saved.value();
    m_makine->setText(m_saved.host);
    m_port->setValue(m_saved.port);
    m_veritabani->setText(m_saved.database);
    m_kullanici->setText(m_saved.user);
    m_sifre->setText(m_saved.password);
  } else {
    showResult(false, saved.error());
  }
  // A board started on a server given at start (--sunucu) offers that one.
  if (m_saved.host.isEmpty() && m_context.store.onServer()) {
    if (const Result<store::ServerAddress> now =
            store::ServerAddress::parse(m_context.store.serverUrl())) {
      m_makine->setText(now->host);
      m_port->setValue(now->port);
      m_veritabani->setText(now->database);
      m_kullanici->setText(now->user);
    }
  }
  refreshState();
}

QString frmOkulSunucusu::nextStartMessage(bool server) {
  return server ? QStringLiteral(
                      "Okul sunucusu ayarları kaydedildi. Bu tahta, Derslik bir sonraki "
                      "açılışında okul sunucusunun verilerini kullanacak.")
                : QStringLiteral(
                      "Ayarlar kaydedildi. Bu tahta, Derslik bir sonraki açılışında "
                      "kendi veri klasörünü kullanacak.");
}

store::ServerSettings frmOkulSunucusu::fields() const {
  store::ServerSettings s = m_saved;
  s.host = m_makine->text().trimmed();
  s.port = m_port->value();
  s.database = m_veritabani->text().trimmed();
  s.user = m_kullanici->text().trimmed();
  s.password = m_sifre->text();
  return s;
}

void frmOkulSunucusu::showResult(bool good, const QString& text) {
  m_sonuc->setStyleSheet(good ? QStringLiteral("color: #1b5e20;")
                              : QStringLiteral("color: #b00020;"));
  m_sonuc->setText(text);
}

void frmOkulSunucusu::refreshState() {
  const store::Store& store = m_context.store;
  QString now = store.onServer()
                    ? QStringLiteral("Bu tahta şu anda okul sunucusunu kullanıyor: %1.")
                          .arg(store.serverUrl())
                    : QStringLiteral("Bu tahta şu anda kendi veri klasörünü kullanıyor.");
  const QString next = m_saved.address().valueOr({}).url();
  if (m_saved.useOnThisBoard && (!store.onServer() || store.serverUrl() != next))
    now += QStringLiteral(" Bir sonraki açılışta %1 adresindeki sunucuyu kullanacak.").arg(next);
  else if (!m_saved.useOnThisBoard && store.onServer() && store.serverUrl() == next)
    now += QStringLiteral(" Bir sonraki açılışta kendi veri klasörünü kullanacak.");
  m_durum->setText(now);
  m_kendiVerileri->setEnabled(m_saved.useOnThisBoard);
  // A board already on the server has no folder of its own to bring.
  m_aktar->setEnabled(!store.onServer());
}

void frmOkulSunucusu::VerileriSunucuyaAktar() {
  const Result<store::ServerLogin> login = fields().login();
  if (!login) {
    showResult(false, login.error());
    return;
  }
  const QString folder = m_context.store.root();
  if (!m_context.messages.ask(
          QStringLiteral("Bu tahtanın veri klasörü (%1) %2 adresindeki okul sunucusuna "
                         "aktarılsın mı? Öğrenciler, kumandalar, sorular, testler ve "
                         "uygulamalar okulun verileriyle birleştirilir; tahtanın kendi "
                         "verileri yerinde kalır.")
              .arg(QDir::toNativeSeparators(folder), login->address.url())))
    return;
  // The whole board goes in one server transaction that may take minutes: it
  // runs beside the window, which shows each step as it is reached.
  const QList<QPushButton*> buttons = findChildren<QPushButton*>();
  for (QPushButton* b : buttons) b->setEnabled(false);
  showResult(true, QStringLiteral("Sunucuya bağlanılıyor..."));
  Result<exchange::FolderImportReport> outcome =
      Result<exchange::FolderImportReport>::failure(QString());
  QThread* worker = QThread::create([&outcome, &login, folder, this] {
    QTemporaryDir scratch;
    store::Store server(scratch.path());
    server.useServer(login.value());
    if (const Result<store::CheckReport> opened = server.open(); !opened) {
      outcome = Result<exchange::FolderImportReport>::failure(opened.error());
      return;
    }
    exchange::FolderImport importer(server);
    importer.setProgress([this](const QString& line) {
      QMetaObject::invokeMethod(this, [this, line] { showResult(true, line); });
    });
    outcome = importer.run(folder);
    server.close();
  });
  QEventLoop wait;
  connect(worker, &QThread::finished, &wait, &QEventLoop::quit);
  worker->start();
  wait.exec(QEventLoop::ExcludeUserInputEvents);
  delete worker;
  for (QPushButton* b : buttons) b->setEnabled(true);
  refreshState();
  if (!outcome) {
    showResult(false, QStringLiteral("Aktarılamadı: %1").arg(outcome.error()));
    return;
  }
  showResult(true, outcome->summary());
}

void frmOkulSunucusu::BaglantiyiDene() {
  const Result<store::ServerLogin> login = fields().login();
  if (!login) {
    showResult(false, login.error());
    return;
  }
  // Connecting may take the server's whole timeout: the wait is shown.
  showResult(true, QStringLiteral("Sunucuya bağlanılıyor..."));
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  const store::ServerProbe probe = store::probeServer(login.value());
  QApplication::restoreOverrideCursor();
  showResult(probe.usable, probe.message);
}

bool frmOkulSunucusu::save(const store::ServerSettings& settings) {
  if (Status s = settings.save(m_context.store.root()); !s) {
    m_context.messages.error(s.error());
    return false;
  }
  m_saved = settings;
  refreshState();
  return true;
}

void frmOkulSunucusu::BuTahtadaKullan() {
  store::ServerSettings settings = fields();
  const Result<store::ServerLogin> login = settings.login();
  if (!login) {
    showResult(false, login.error());
    m_context.messages.warning(login.error());
    return;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const store::ServerProbe probe = store::probeServer(login.value());
  QApplication::restoreOverrideCursor();
  showResult(probe.usable, probe.message);
  // Kept anyway when asked: the server may be set up after the boards.
  if (!probe.usable &&
      !m_context.messages.ask(probe.message + QStringLiteral("\n\nAyarlar yine de kaydedilsin mi?"),
                              QStringLiteral("Okul Sunucusu"), Messages::Answer::No))
    return;
  settings.useOnThisBoard = true;
  if (save(settings))
    m_context.messages.info(nextStartMessage(true), QStringLiteral("Okul Sunucusu"));
}

void frmOkulSunucusu::KendiVerileriniKullan() {
  store::ServerSettings settings = m_saved;
  settings.useOnThisBoard = false;
  if (save(settings))
    m_context.messages.info(nextStartMessage(false), QStringLiteral("Okul Sunucusu"));
}
