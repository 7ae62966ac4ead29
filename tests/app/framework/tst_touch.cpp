// A finger on the shared grid and on any form: dragging scrolls, a tap stays a
// tap, holding opens the menu a right-click opens, and the board setting makes
// every control a finger's size (and gives the mouse layout back when off).
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QScroller>
#include <QTableView>
#include <QTimer>

#include "WidgetTestBase.h"
#include "framework/Sliste.h"
#include "framework/TouchSupport.h"

namespace {

// A thousand rows from the database without writing one.
const QString kThousandRows = QStringLiteral(
    "WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I+1 FROM N WHERE I<1000) "
    "SELECT I AS ID, I AS KAYITNO, 'Öğrenci ' || I AS ADI, 'Soyadı' AS SOYADI FROM N");

}  // namespace

class TestTouch : public QObject {
  Q_OBJECT

  WidgetTestBase m_base;
  std::unique_ptr<QWidget> m_host;
  Sliste* m_grid = nullptr;
  QPointingDevice* m_finger = QTest::createTouchDevice();
  QString m_menuSeen;

  framework::TouchSupport* touch() { return framework::TouchSupport::instance(); }
  QWidget* viewport() { return m_grid->tablo()->viewport(); }
  int scrolled() { return m_grid->tablo()->verticalScrollBar()->value(); }

  // Every popup that opens meanwhile is noted and closed, as the teacher would.
  void watchMenus() {
    m_menuSeen.clear();
    auto* watch = new QTimer(m_host.get());
    watch->setInterval(20);
    connect(watch, &QTimer::timeout, this, [this] {
      if (QWidget* popup = QApplication::activePopupWidget()) {
        m_menuSeen = popup->objectName();
        popup->close();
      }
    });
    watch->start();
  }
  void drag(QWidget* target, QPoint from, QPoint to, int steps) {
    QTest::touchEvent(target, m_finger).press(0, from);
    for (int i = 1; i <= steps; ++i) {
      QTest::qWait(15);
      QTest::touchEvent(target, m_finger).move(0, from + (to - from) * i / steps);
    }
    QTest::touchEvent(target, m_finger).release(0, to);
  }
  QPoint rowCentre(int row) {
    return m_grid->tablo()->visualRect(m_grid->proxy()->index(row, 1)).center();
  }

 private slots:
  void initTestCase() { framework::TouchSupport::install(*qApp); }
  void init() {
    QVERIFY(m_base.setUp());
    touch()->setTouchBoard(false);
    m_host = std::make_unique<QWidget>();
    m_host->setObjectName(QStringLiteral("frmOgrenciler"));
    auto* box = new QHBoxLayout(m_host.get());
    m_grid = new Sliste(
        m_base.context(),
        {QStringLiteral("frmOgrenciler"), QStringLiteral("Sliste1"), QStringLiteral("1")},
        m_host.get());
    box->addWidget(m_grid);
    m_host->resize(900, 600);
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
    QVERIFY(m_grid->ListeDoldurYeni(kThousandRows).ok());
    QCOMPARE(m_grid->kayitSayisi(), 1000);
  }
  void cleanup() {
    m_host.reset();
    m_base.tearDown();
  }

  void dragMovesTheGridAndATapSelectsWithoutMoving() {
    watchMenus();
    QCOMPARE(scrolled(), 0);
    const QPoint low(viewport()->width() / 2, viewport()->height() - 40);
    drag(viewport(), low, low - QPoint(0, 380), 12);
    QTRY_VERIFY(scrolled() > 200);
    const int after = scrolled();
    // The flick glides on for seconds; it is stopped where it is.
    QScroller::scroller(viewport())->stop();
    QTRY_COMPARE(QScroller::scroller(viewport())->state(), QScroller::Inactive);

    // A tap (with the slight slip of a real finger) picks the row and moves nothing.
    const int settled = scrolled();
    QVERIFY(settled >= after);
    const QPoint row = rowCentre(m_grid->tablo()->rowAt(viewport()->height() / 2));
    const int tappedRow = m_grid->tablo()->rowAt(row.y());
    QTest::touchEvent(viewport(), m_finger).press(0, row);
    QTest::touchEvent(viewport(), m_finger).move(0, row + QPoint(2, 3));
    QTest::touchEvent(viewport(), m_finger).release(0, row + QPoint(2, 3));
    QTRY_COMPARE(m_grid->tablo()->currentIndex().row(), tappedRow);
    QCOMPARE(scrolled(), settled);
    QVERIFY(m_menuSeen.isEmpty());
  }

  void holdingARowOpensItsMenuAndAShortPressDoesNot() {
    watchMenus();
    const QPoint row = rowCentre(4);
    // Let go before 0.6 s: no menu, and the ring that showed goes away.
    QTest::touchEvent(viewport(), m_finger).press(0, row);
    QTRY_VERIFY(touch()->holdCueShown());
    QTest::qWait(250);
    QTest::touchEvent(viewport(), m_finger).release(0, row);
    QVERIFY(!touch()->holdCueShown());
    QTest::qWait(framework::TouchSupport::kHoldMilliseconds);
    QVERIFY(m_menuSeen.isEmpty());

    // A finger that wanders off is dragging, not holding.
    QTest::touchEvent(viewport(), m_finger).press(0, row);
    QTest::qWait(100);
    QTest::touchEvent(viewport(), m_finger).move(0, row + QPoint(0, 40));
    QTest::qWait(framework::TouchSupport::kHoldMilliseconds);
    QTest::touchEvent(viewport(), m_finger).release(0, row + QPoint(0, 40));
    QVERIFY(m_menuSeen.isEmpty());

    // Held still: the grid's own menu, the one a right-click opens.
    QTest::touchEvent(viewport(), m_finger).press(0, row);
    QTRY_COMPARE_WITH_TIMEOUT(m_menuSeen, QStringLiteral("SlisteDuzenlemeMenusu"), 2000);
    QTest::touchEvent(viewport(), m_finger).release(0, row);
    QVERIFY(!touch()->holdCueShown());
  }

  void boardSettingSizesEveryControlAndGivesTheMouseLayoutBack() {
    QWidget form;
    auto* row = new QHBoxLayout(&form);
    auto* small = new QPushButton(QStringLiteral("Sil"), &form);
    small->setFixedSize(30, 20);  // as a screen made for the mouse fixes it
    auto* check = new QCheckBox(QStringLiteral("Seç"), &form);
    auto* combo = new QComboBox(&form);
    combo->addItems({QStringLiteral("5-A"), QStringLiteral("5-B")});
    auto* edit = new QLineEdit(&form);
    for (QWidget* w : {static_cast<QWidget*>(small), static_cast<QWidget*>(check),
                       static_cast<QWidget*>(combo), static_cast<QWidget*>(edit)})
      row->addWidget(w);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(small->height(), 20);
    QVERIFY(m_grid->tablo()->rowHeight(0) < 40);

    touch()->setTouchBoard(true, 48);
    form.adjustSize();
    QTest::qWait(20);
    for (QWidget* w : {static_cast<QWidget*>(small), static_cast<QWidget*>(check),
                       static_cast<QWidget*>(combo), static_cast<QWidget*>(edit)}) {
      QVERIFY2(w->height() >= 48, qPrintable(w->metaObject()->className()));
      QVERIFY2(w->width() >= 48, qPrintable(w->metaObject()->className()));
    }
    // Neighbours stand apart.
    QVERIFY(check->geometry().left() - small->geometry().right() > 8);
    QVERIFY(m_grid->tablo()->rowHeight(0) >= 48);
    // The mouse drags the grid too on a board (a board's pen reports itself as one).
    const QPoint low(viewport()->width() / 2, viewport()->height() - 40);
    QTest::mousePress(viewport(), Qt::LeftButton, {}, low);
    for (int i = 1; i <= 10; ++i) {
      QTest::qWait(15);
      QMouseEvent move(QEvent::MouseMove, low - QPoint(0, 30 * i),
                       viewport()->mapToGlobal(low - QPoint(0, 30 * i)), Qt::NoButton,
                       Qt::LeftButton, {});
      QApplication::sendEvent(viewport(), &move);
    }
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, low - QPoint(0, 300));
    QTRY_VERIFY(scrolled() > 100);

    touch()->setTouchBoard(false);
    form.adjustSize();
    QTest::qWait(20);
    QCOMPARE(small->size(), QSize(30, 20));
    QVERIFY2(edit->height() < 48,
             qPrintable(QString::number(edit->height()) + QLatin1Char(' ') +
                        QString::number(edit->minimumHeight()) + QLatin1Char(' ') +
                        QString::number(edit->sizeHint().height())));
  }
};

QTEST_MAIN(TestTouch)
#include "tst_touch.moc"
