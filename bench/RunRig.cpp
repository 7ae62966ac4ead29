#include "RunRig.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextStream>

#include <sys/socket.h>
#include <unistd.h>

#include "framework/ReceiverController.h"
#include "receiver/HidrawReceiver.h"
#include "receiver/ReportDecoder.h"

namespace bench {

namespace {

bool succeeded(const Status& s, const char* what) {
  if (!s) QTextStream(stderr) << what << ": " << s.error() << '\n';
  return s.ok();
}

}  // namespace

bool addClassAndTest(store::Store& store, int remotes, int questions) {
  store::Transaction tx(store);
  for (int i = 1; i <= remotes; ++i) {
    const QString kayitNo = QString::number(9000 + i);
    const QString address = QStringLiteral("10-%1").arg(i);
    if (!succeeded(
            store.run(QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,ADI,SOYADI,SINIFI) VALUES "
                                     "(?,'Öğrenci','Bir','5-A')"),
                      {kayitNo}),
            "öğrenci") ||
        !succeeded(
            store.run(QStringLiteral("INSERT INTO TABLEKUMANDA (KUMANDAADRESI,OGRETMENKUMANDASI) "
                                     "VALUES (?,'0')"),
                      {address}),
            "kumanda") ||
        !succeeded(store.run(QStringLiteral(
                                 "INSERT INTO TABLEESLESME (KUMANDAADRESI,KAYITNO) VALUES (?,?)"),
                             {address, kayitNo}),
                   "eşleşme"))
      return false;
  }
  if (!succeeded(
          store.run(QStringLiteral("INSERT INTO TABLETEST (TESTNO,TESTADI,BASLANGICEKRANIGOSTER,"
                                   "SORUSAYILARINIGOSTER) VALUES ('1','Ölçüm','0','0')")),
          "test"))
    return false;
  for (int q = 1; q <= questions; ++q) {
    const QString soruNo = QStringLiteral("B%1").arg(q);
    if (!succeeded(store.run(QStringLiteral("INSERT INTO TABLESORU (SORUNO,DOGRUSIK) VALUES (?,?)"),
                             {soruNo, QStringLiteral("ABCDE").mid(q % 5, 1)}),
                   "soru") ||
        !succeeded(
            store.run(QStringLiteral("INSERT INTO TABLETESTSORU (TESTNO,SORUNO,SURE,TESTSIRANO) "
                                     "VALUES ('1',?,'30',?)"),
                      {soruNo, QString::number(q)}),
            "test sorusu"))
      return false;
  }
  return succeeded(tx.commit(), "işlem");
}

RunRig::RunRig(store::Store& store, int remotes, activity::PressConsumer* consumer)
    : m_run(std::make_unique<delivery::RunSession>(store, m_messages, m_clock)) {
  delivery::RunPlan plan;
  plan.description.testNo = QStringLiteral("1");
  plan.description.className = QStringLiteral("5-A");
  plan.settings.remoteTestScreen = false;
  for (int i = 1; i <= remotes; ++i) plan.studentRemotes << QStringLiteral("10-%1").arg(i);
  plan.names = plan.studentRemotes;
  if (!succeeded(m_run->open(plan), "açılış")) return;
  m_clock.advance(3000);  // past the 3-2-1 start
  m_run->tick();

  auto* mdi = new QMdiArea(&m_main);
  m_main.setCentralWidget(mdi);
  auto* window = new QWidget;
  window->setObjectName(QStringLiteral("frmOnizleme"));
  QMdiSubWindow* sub = mdi->addSubWindow(window);
  sub->show();
  m_main.show();
  mdi->setActiveSubWindow(sub);
  m_controller = std::make_unique<framework::ReceiverController>(mdi);
  m_controller->router().attach(window, consumer ? consumer : m_run.get());

  if (::socketpair(AF_UNIX, SOCK_SEQPACKET, 0, m_fds) != 0) return;
  auto link = std::make_unique<receiver::HidrawReceiver>();
  receiver::HidrawReceiver* hid = link.get();
  m_controller->setLink(std::move(link));
  receiver::DeviceInfo info;
  info.vendorId = receiver::kVendorId;
  info.productId = receiver::kProductId;
  info.node = QStringLiteral("socketpair");
  hid->attachDescriptor(m_fds[0], info);
  m_ok = true;
}

RunRig::~RunRig() {
  if (m_fds[1] >= 0) ::close(m_fds[1]);
  m_controller.reset();
}

QByteArray RunRig::press(int remote, const QString& letter) {
  return QByteArray(1, '\0') + receiver::pressReport(10, remote, letter);
}

}  // namespace bench
