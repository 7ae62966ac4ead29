#include "screens/game/GameScreens.h"

#include <QCheckBox>
#include <QPointer>

#include <memory>

#include "Messages.h"
#include "cards/CardNumbers.h"
#include "framework/BrowserAnswers.h"
#include "framework/CardAnswers.h"
#include "framework/PresentationDisplay.h"
#include "framework/ReceiverController.h"
#include "framework/ScreenRegistry.h"
#include "screens/game/frmOyun.h"
#include "screens/game/frmOyun1.h"
#include "screens/game/frmYoklama.h"
#include "web/BrowserTakers.h"

namespace gameui {

namespace {
constexpr int kGameScreen = 11;
const QString kGameScreenName = QStringLiteral("frmOyun");

// Full screen on the board (the projector when there are two screens), taking
// the presses; the program quitting takes it with it.
void putOnBoard(QWidget* window, activity::PressConsumer* consumer,
                framework::ReceiverController& receiver, QWidget* mainWindow) {
  receiver.router().attach(window, consumer);
  if (mainWindow) QObject::connect(mainWindow, &QObject::destroyed, window, &QObject::deleteLater);
  framework::showFullScreenOn(window, framework::presentationScreen(mainWindow));
  window->raise();
  window->activateWindow();
  receiver.router().focusWindow(window);
}

// The roll call with cards: a player's card marks them present. Only the
// players' own students are read (their answers go under their remotes): the
// race after it is played with remotes.
void rollCallCards(const ScreenContext& context, framework::ReceiverController& receiver,
                   frmYoklama* window, const game::Players& players) {
  const auto cannot = [&context](const QString& why) {
    context.messages.warning(
        QStringLiteral("Kartlarla yoklama başlatılamadı: %1\n\nYoklama kumandalarla sürüyor.")
            .arg(why));
  };
  const Result<QList<web::RosterEntry>> roster =
      web::rosterOfAddresses(context.store, players.addresses);
  const Result<QHash<QString, int>> numbers = cards::CardNumbers(context.store).allCards();
  if (!roster || !numbers) {
    cannot(!roster ? roster.error() : numbers.error());
    return;
  }
  // Numbers are unique within a class: players of several classes may share
  // one, and then neither card is read (never a press for another student).
  QHash<int, int> uses;
  for (const web::RosterEntry& e : roster.value()) ++uses[numbers->value(e.kayitNo)];
  QList<cards::CardHolder> holders;
  for (const web::RosterEntry& e : roster.value())
    if (const int n = numbers->value(e.kayitNo); n > 0 && uses.value(n) == 1)
      holders << cards::CardHolder{e, n};
  auto* cards =
      framework::CardAnswers::open(context, receiver.pipeline(), holders, kGameScreenName);
  if (!cards) return;
  const QPointer<frmYoklama> roll(window);
  cards->follow(&window->attendance(), &game::Attendance::changed, [roll] {
    return framework::CardAnswers::State{roll && roll->isVisible(), 0};
  });
  cards->showOn(window);
}

// Back to the main window when the board window closes.
void returnTo(QWidget* window, QWidget* mainWindow) {
  if (!mainWindow) return;
  QObject::connect(window, &QObject::destroyed, mainWindow, [main = QPointer<QWidget>(mainWindow)] {
    if (main) main->activateWindow();
  });
}
}  // namespace

void registerGameScreens(framework::ScreenRegistry& registry, const ScreenContext& context,
                         framework::ReceiverController& receiver, QWidget* mainWindow) {
  registry.registerScreen(kGameScreen, [context, &receiver, mainWindow](QWidget* parent) {
    auto* screen = new frmOyun(context, parent);
    screen->setStartAttendance(
        [context, &receiver, mainWindow, screen](const game::Players& players) {
          openAttendance(context, receiver, players, mainWindow, receiver::SteadyClock::instance(),
                         screen->browserRoster());
        });
    return screen;
  });
}

frmYoklama* openAttendance(const ScreenContext& context, framework::ReceiverController& receiver,
                           const game::Players& players, QWidget* mainWindow,
                           const receiver::Clock& clock,
                           const QList<web::RosterEntry>& browserRoster) {
  auto* window = new frmYoklama(players, clock, &receiver);
  const receiver::Clock* time = &clock;
  // One server for the roll call and the race, whichever turns it on.
  auto browser = std::make_shared<QPointer<framework::BrowserAnswers>>();
  const auto openBrowser = [context, &receiver, players, browserRoster,
                            roll = QPointer<frmYoklama>(window), browser] {
    QList<web::RosterEntry> roster = browserRoster;
    // Ticked on the board: the players are set, their students may join.
    if (roster.isEmpty())
      roster = web::rosterOfAddresses(context.store, players.addresses).valueOr({});
    if (!roll) return;
    if (roster.isEmpty()) {
      context.messages.warning(
          QStringLiteral("Tarayıcıdan cevaplama başlatılamadı: %1").arg(web::nobodyToJoinText()));
      return;
    }
    *browser =
        framework::BrowserAnswers::open(context, receiver.pipeline(), roster, kGameScreenName);
    if (!*browser) return;
    (*browser)->follow(roll->attendance(), &roll->attendance(), &game::Attendance::changed);
    // Large all through the roll call: that is when the class joins.
    (*browser)->showOn(roll, [] { return true; });
  };
  window->setStartGame(
      [context, &receiver, mainWindow, time, browser](const game::Players& present) {
        frmOyun1* race =
            openRace(context, receiver, present, game::Race::kStepIntervalMs, mainWindow, *time);
        // The class stays joined: the devices now see the race.
        if (race && *browser) {
          (*browser)->follow(race->race(), &race->race(), &game::Race::changed);
          (*browser)->showOn(race);
        }
      });
  putOnBoard(window, &window->attendance(), receiver, mainWindow);
  if (framework::CardAnswers::wanted(context, kGameScreenName))
    rollCallCards(context, receiver, window, players);
  QCheckBox* box = framework::BrowserAnswers::checkBox(context, kGameScreenName, window);
  window->addToButtons(box);
  QObject::connect(box, &QCheckBox::toggled, window, [openBrowser, browser](bool on) {
    if (on && !*browser) openBrowser();
    if (!on && *browser) delete browser->data();
  });
  if (!browserRoster.isEmpty()) openBrowser();
  // Closed without a game: back to the set-up (a race goes back by itself).
  QObject::connect(window, &frmYoklama::closedWithoutGame, window,
                   [main = QPointer<QWidget>(mainWindow)] {
                     if (main) main->activateWindow();
                   });
  return window;
}

frmOyun1* openRace(const ScreenContext& context, framework::ReceiverController& receiver,
                   const game::Players& players, int stepIntervalMs, QWidget* mainWindow,
                   const receiver::Clock& clock) {
  auto* window = new frmOyun1(clock);
  if (Status s = window->Ayarla(players, stepIntervalMs); !s) {
    context.messages.warning(s.error());
    delete window;
    if (mainWindow) mainWindow->activateWindow();
    return nullptr;
  }
  putOnBoard(window, &window->race(), receiver, mainWindow);
  returnTo(window, mainWindow);
  return window;
}

}  // namespace gameui
