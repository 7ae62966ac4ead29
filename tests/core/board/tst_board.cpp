// The board's rules: how large a finger's target is on a given screen, what the
// board setting starts as and keeps, and when Derslik brings its own keyboard.
#include <QTemporaryDir>
#include <QtTest>

#include <limits>

#include "board/BoardSettings.h"
#include "board/InputDevices.h"
#include "store/Parameters.h"

namespace {

// Physical pixels per inch of a 16:9 panel `inches` across its diagonal.
double densityOf(int widthPixels, double inches) {
  const double widthInches = inches * 16.0 / std::sqrt(16.0 * 16.0 + 9.0 * 9.0);
  return widthPixels / widthInches;
}

const char* const kKeyboardAndButton = R"(I: Bus=0019 Vendor=0000 Product=0001 Version=0000
N: Name="Power Button"
H: Handlers=kbd event0
B: PROP=0
B: EV=3
B: KEY=10000000000000 0

I: Bus=0011 Vendor=0001 Product=0001 Version=ab41
N: Name="AT Translated Set 2 keyboard"
H: Handlers=sysrq kbd event3 leds
B: PROP=0
B: EV=120013
B: KEY=402000000 3803078f800d001 feffffdfffefffff fffffffffffffffe
B: MSC=10
B: LED=7
)";

// What a board without a keyboard lists: its touch panel, the power button and
// the volume keys of the frame (they repeat, but have no letters).
const char* const kBoardOnly = R"(I: Bus=0019 Vendor=0000 Product=0001 Version=0000
N: Name="Power Button"
H: Handlers=kbd event0
B: EV=3
B: KEY=10000000000000 0

I: Bus=0003 Vendor=222a Product=0001 Version=0110
N: Name="ILITEK Multi-Touch"
H: Handlers=mouse0 event4
B: PROP=2
B: EV=1b
B: KEY=400 0 0 0 0 0
B: ABS=3273800000000003

I: Bus=0003 Vendor=0c45 Product=7403 Version=0110
N: Name="Board Frame Keys"
H: Handlers=kbd event5
B: EV=100013
B: KEY=1c000000000000 0
)";

}  // namespace

class TestBoard : public QObject {
  Q_OBJECT

 private slots:
  void targetIsTenMillimetresAndNeverBelowTheLeast() {
    // A classroom board at 1920 pixels: 10 mm is 14 pixels there, too small to read a
    // caption on; the least size holds.
    QCOMPARE(board::minimumTargetPixels(densityOf(1920, 65), 1.0), board::kMinimumTargetPixels);
    QCOMPARE(board::minimumTargetPixels(densityOf(3840, 65), 1.0), board::kMinimumTargetPixels);
    // A dense laptop panel: 10 mm is more than the least size.
    const int laptop = board::minimumTargetPixels(densityOf(1920, 13.3), 1.0);
    QVERIFY2(laptop >= 64 && laptop <= 67, qPrintable(QString::number(laptop)));
    // The same panel drawn at twice the pixels per logical pixel: half as many
    // logical pixels make 10 mm.
    const int scaled = board::minimumTargetPixels(densityOf(3840, 13.3), 2.0);
    QVERIFY2(std::abs(scaled - laptop) <= 1, qPrintable(QString::number(scaled)));
    const int phone = board::minimumTargetPixels(450.0, 3.0);
    QVERIFY2(phone >= 59 && phone <= 60, qPrintable(QString::number(phone)));
  }

  void absurdOrMissingDensityGivesTheLeastSize() {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const auto& [dpi, ratio] :
         {std::pair{0.0, 1.0}, std::pair{-96.0, 1.0},
          std::pair{3.0, 1.0},      // a screen claiming to be 16 m wide
          std::pair{25400.0, 1.0},  // a screen claiming 1 mm
          std::pair{nan, 1.0}, std::pair{inf, 1.0}, std::pair{166.0, 0.0}, std::pair{166.0, nan}})
      QCOMPARE(board::minimumTargetPixels(dpi, ratio), board::kMinimumTargetPixels);
    // Neighbours are kept apart by a visible gap, growing with the targets.
    QVERIFY(board::targetGapPixels(44) >= 8);
    QVERIFY(board::targetGapPixels(100) > board::targetGapPixels(44));
  }

  void settingStartsFromTheScreenAndKeepsTheTeachersChoice() {
    QTemporaryDir dir;
    store::UserSettings::setFile(dir.filePath(QStringLiteral("ayar.ini")));
    QVERIFY(board::BoardSettings::load(true).touchBoard);
    QVERIFY(!board::BoardSettings::load(false).touchBoard);
    const board::BoardSettings fresh = board::BoardSettings::load(false);
    QCOMPARE(fresh.keyboard, board::KeyboardMode::Automatic);
    QCOMPARE(fresh.commandSide, board::CommandSide::Right);

    // Turned off by hand on a touch screen, it stays off; the other choices come back.
    board::BoardSettings chosen;
    chosen.touchBoard = false;
    chosen.keyboard = board::KeyboardMode::Never;
    chosen.commandSide = board::CommandSide::Left;
    chosen.save();
    const board::BoardSettings back = board::BoardSettings::load(true);
    QVERIFY(!back.touchBoard);
    QCOMPARE(back.keyboard, board::KeyboardMode::Never);
    QCOMPARE(back.commandSide, board::CommandSide::Left);
    chosen.keyboard = board::KeyboardMode::Always;
    chosen.save();
    QCOMPARE(board::BoardSettings::load(true).keyboard, board::KeyboardMode::Always);
    QCOMPARE(board::BoardSettings::keyboardCaption(board::KeyboardMode::Automatic),
             QStringLiteral("Kendiliğinden"));
    QCOMPARE(board::BoardSettings::keyboardCaption(board::KeyboardMode::Never),
             QStringLiteral("Hiçbir zaman"));
  }

  void ownKeyboardOnlyWhereNothingElseTypes() {
    using board::KeyboardMode;
    QVERIFY(board::useOwnScreenKeyboard(KeyboardMode::Automatic, false, false));
    QVERIFY(!board::useOwnScreenKeyboard(KeyboardMode::Automatic, true, false));
    QVERIFY(!board::useOwnScreenKeyboard(KeyboardMode::Automatic, false, true));
    QVERIFY(board::useOwnScreenKeyboard(KeyboardMode::Always, true, true));
    QVERIFY(!board::useOwnScreenKeyboard(KeyboardMode::Never, false, false));
  }

  void keyboardsAreToldFromOtherKeys() {
    QVERIFY(board::listsKeyboard(QString::fromLatin1(kKeyboardAndButton)));
    QVERIFY(!board::listsKeyboard(QString::fromLatin1(kBoardOnly)));
    QVERIFY(!board::listsKeyboard(QString()));
    QVERIFY(board::isScreenKeyboardProgram(QStringLiteral("onboard\n")));
    QVERIFY(board::isScreenKeyboardProgram(QStringLiteral("matchbox-keybo")));
    QVERIFY(!board::isScreenKeyboardProgram(QStringLiteral("derslik")));
  }
};

QTEST_GUILESS_MAIN(TestBoard)
#include "tst_board.moc"
