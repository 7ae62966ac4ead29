#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "ShellHarness.h"
#include "StandInScreens.h"
#include "framework/SanalKumandaHost.h"
#include "framework/frmSanalKumanda.h"
#include "store/Parameters.h"

namespace {
// A run of a test (its tiles count every press, as the remote test does) that
// opens the virtual remote.
class HostPresentation : public StandInActivity, public SanalKumandaHost {
 public:
  HostPresentation() {
    tiles = activity::RemoteTiles({"0-0", "7-200"}, activity::RemoteTiles::Rule::LastPress);
  }
  QStringList remoteAddresses() const override { return {"0-0", "7-200"}; }
  QStringList questionTitles() const override { return {"1", "2", "3"}; }
  int currentQuestion() const override { return question; }
  int question = 1;
};
}  // namespace

class TestSanalKumanda : public QObject {
  Q_OBJECT

  std::unique_ptr<ShellHarness> h;
  HostPresentation* p = nullptr;
  QPointer<frmSanalKumanda> f;

 private slots:
  void init() {
    h = std::make_unique<ShellHarness>();
    h->start();
    p = new HostPresentation;
    addActivity(h->mdi, h->controller->router(), p);
    f = new frmSanalKumanda(p, h->controller.get());
    f->show();
  }
  void cleanup() {
    delete f;
    h->stop();
  }

  // A click is the press a remote with the selected address would make.
  void clickPresses() {
    QCOMPARE(f->findChild<QLabel*>(QStringLiteral("lblYardim"))->text(),
             frmSanalKumanda::helpText());
    QCOMPARE(f->lstAdresler()->count(), 2);
    QCOMPARE(f->LVSorular()->topLevelItemCount(), 3);
    f->lstAdresler()->setCurrentRow(1);
    QTest::mouseClick(f->cmdDugme(1), Qt::LeftButton);
    const activity::RemoteTiles::Tile* t = p->tiles.find("7-200");
    QCOMPARE(t->letter, QStringLiteral("B"));
    QCOMPARE(t->code, QStringLiteral("181"));
    QCOMPARE(f->LVSorular()->topLevelItem(1)->text(1), QStringLiteral("B"));
    QVERIFY(f->cmdDugme(1)->isChecked());
    QCOMPARE(f->cmdDugme(1)->palette().color(QPalette::ButtonText), QColor(255, 0, 0));
    QVERIFY(!f->cmdDugme(0)->isChecked());
    QCOMPARE(h->controller->router().activeName(), QStringLiteral("frmOnizleme"));

    // B again inside a second: dropped by the repeat window.
    QCOMPARE(p->received, QStringList{"7-200:B"});
    f->cmdDugme_Click(1);
    QCOMPARE(p->received.size(), 1);
    h->clock.advance(1000);
    f->cmdDugme_Click(1);
    QCOMPARE(p->received, (QStringList{"7-200:B", "7-200:B"}));
  }

  void keysPress_data() {
    QTest::addColumn<char>("key");
    QTest::addColumn<QString>("letter");
    QTest::newRow("x") << 'x' << "X";
    QTest::newRow("a") << 'a' << "A";
    QTest::newRow("E") << 'E' << "E";
  }
  void keysPress() {
    QFETCH(char, key);
    QFETCH(QString, letter);
    f->lstAdresler()->setCurrentRow(0);
    QTest::keyClick(f->lstAdresler(), key);
    QCOMPARE(p->tiles.find("0-0")->letter, letter);
    QCOMPARE(p->tiles.find("0-0")->state, letter == "X" ? activity::RemoteTiles::State::NotAnswered
                                                        : activity::RemoteTiles::State::Answered);
    // Typing a name presses nothing.
    h->clock.advance(2000);
    QTest::keyClicks(f->txtAdi(), "Ada");
    QCOMPARE(p->received.size(), 1);
  }

  void noAddressSelected() {
    f->lstAdresler()->clearSelection();
    f->lstAdresler()->setCurrentItem(nullptr);
    f->cmdDugme_Click(0);
    // A press without an address goes through, as an unknown remote's would, and
    // marks no tile.
    QCOMPARE(p->received, QStringList{":A"});
    QCOMPARE(p->tiles.counts().notAnswered, 2);
    QCOMPARE(h->controller->pipeline().repeatWindow().SonSinyal(), QStringLiteral("-A"));
  }

  void keepsNameAndPosition() {
    f->txtAdi()->setText("Ayşe");
    f->txtSoyadi()->setText("Yılmaz'ın");
    f->move(140, 90);
    const QPoint at = f->pos();
    f->close();
    QTRY_VERIFY(!f);
    QCOMPARE(store::UserSettings::get("Sanal Kumanda", "Adi"), QStringLiteral("Ayşe"));
    QCOMPARE(store::UserSettings::get("Sanal Kumanda", "Soyadi"), QStringLiteral("Yılmaz'ın"));
    QCOMPARE(store::UserSettings::get("Sanal Kumanda", "Solu"), QString::number(at.x()));
    QCOMPARE(store::UserSettings::get("Sanal Kumanda", "Ustu"), QString::number(at.y()));
    f = new frmSanalKumanda(p, h->controller.get());
    QCOMPARE(f->txtAdi()->text(), QStringLiteral("Ayşe"));
    QCOMPARE(f->pos(), at);
    f->resize(1280, 800);
    f->show();
    f->grab().save(QDir::temp().filePath("derslik-sanal-kumanda.png"));
  }

  void closesWithOpener() {
    QVERIFY(f);
    p->close();
    QTRY_VERIFY(!f);
  }
};

QTEST_MAIN(TestSanalKumanda)
#include "tst_sanalkumanda.moc"
