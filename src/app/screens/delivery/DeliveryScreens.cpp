#include "screens/delivery/DeliveryScreens.h"

#include <QListWidget>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include "Messages.h"
#include "cards/CardNumbers.h"
#include "delivery/InterruptedRuns.h"
#include "delivery/JournalSender.h"
#include "delivery/Recording.h"
#include "framework/BrowserAnswers.h"
#include "framework/CardAnswers.h"
#include "framework/CommandSide.h"
#include "framework/PresentationDisplay.h"
#include "framework/ReceiverController.h"
#include "framework/ScreenRegistry.h"
#include "framework/frmSanalKumanda.h"
#include "screens/delivery/frmDersUygula.h"
#include "screens/delivery/frmOnizleme.h"
#include "screens/delivery/frmSerbestBilgileri.h"
#include "screens/delivery/frmSerbestTamEkran.h"
#include "screens/delivery/frmTestUygula.h"
#include "store/BrowserAddress.h"
#include "store/Store.h"
#include "web/BrowserTakers.h"

namespace deliveryui {

namespace {
constexpr int kRunScreen = 4;
constexpr int kLessonScreen = 7;
// The run screen's choices hold for a run taken up again as well.
const QString kRunScreenName = QStringLiteral("frmTestUygula");

void cannotResume(Messages& messages, const QString& error) {
  messages.error(QStringLiteral("Yarım kalan uygulama açılamadı (%1)").arg(error));
}

// The students who may answer from a browser when `screen`'s check box is on:
// the run's, with the class's students who have no remote joining its tiles.
std::optional<web::BrowserTakers> browserTakers(const ScreenContext& context, const QString& screen,
                                                const delivery::RunPlan& plan) {
  if (screen.isEmpty() || !framework::BrowserAnswers::wanted(context, screen)) return std::nullopt;
  const auto cannot = [&context](const QString& why) {
    context.messages.warning(
        QStringLiteral("Tarayıcıdan cevaplama başlatılamadı: %1\n\nEtkinlik kumandalarla sürüyor.")
            .arg(why));
  };
  Result<QList<web::RosterEntry>> roster =
      web::classRoster(context.store, plan.description.className);
  // Not one class ("TÜMÜ"): the students of the run's remotes.
  if (roster && roster->isEmpty())
    roster = web::rosterOfAddresses(context.store, plan.studentRemotes);
  if (!roster) {
    cannot(roster.error());
    return std::nullopt;
  }
  web::BrowserTakers takers = web::browserTakers(plan.studentRemotes, plan.names, roster.value());
  if (takers.roster.isEmpty()) {
    cannot(web::nobodyToJoinText());
    return std::nullopt;
  }
  return takers;
}

void showCards(const ScreenContext& context, framework::CardAnswers& cards, frmOnizleme& window);

// A board on the school's server sends a run's last rows within moments; while
// the server is away they stay on the board, and the report (read from the
// server) waits for them. The run's key on the server, or none yet.
std::optional<reports::RunKey> runOnServer(store::Store& store, const reports::RunKey& key) {
  delivery::JournalSender* journal = delivery::JournalSender::of(store);
  if (!journal) return key;
  constexpr int kLastRowsMs = 3000;
  if (!journal->offline()) (void)journal->waitUntilSent(kLastRowsMs);
  if (!journal->pending(key).valueOr({delivery::JournalEntry()}).isEmpty()) return std::nullopt;
  return journal->serverKey(key);
}
QString runKeptOnBoardText() {
  return QStringLiteral(
      "Uygulamanın cevapları bu tahtada saklanıyor; sunucuya gönderildiğinde raporu açılabilir.");
}

// The students who answer with cards when `screen`'s box is on: the class's
// students with a card among the activity's; those without a remote get a tile
// under their card address.
struct CardTakers {
  QStringList addresses;
  QStringList names;
  QList<cards::CardHolder> holders;
};
std::optional<CardTakers> cardTakers(const ScreenContext& context, const QString& screen,
                                     const delivery::RunPlan& plan) {
  if (screen.isEmpty() || !framework::CardAnswers::wanted(context, screen)) return std::nullopt;
  const auto cannot = [&context](const QString& why) {
    context.messages.warning(
        QStringLiteral("Kartlarla cevaplama başlatılamadı: %1\n\nEtkinlik diğer cevap yollarıyla "
                       "sürüyor.")
            .arg(why));
  };
  Result<QList<cards::CardHolder>> holders =
      cards::CardNumbers(context.store).classCards(plan.description.className);
  if (!holders) {
    cannot(holders.error());
    return std::nullopt;
  }
  if (holders->isEmpty()) {
    cannot(QStringLiteral("Kartlar bir sınıfındır; kartlarla cevaplamak için bir sınıf seçiniz."));
    return std::nullopt;
  }
  // A student is one tile: one who already answers from a browser under an
  // address of their own reads their card into the same tile, and their last
  // answer, whichever way it came, is the one that counts.
  for (cards::CardHolder& h : holders.value())
    for (const QString& taken : std::as_const(plan.studentRemotes))
      if (!h.student.hasRemote && store::ownAddressKayitNo(taken) == h.student.kayitNo)
        h.student.address = taken;
  QList<web::RosterEntry> roster;
  for (const cards::CardHolder& h : holders.value()) roster << h.student;
  const web::BrowserTakers t = web::browserTakers(plan.studentRemotes, plan.names, roster);
  CardTakers out{t.addresses, t.names, {}};
  for (const cards::CardHolder& h : holders.value())
    if (t.addresses.contains(h.student.address)) out.holders << h;
  return out;
}

// Opens the window with `open` (its Ayarla or SerbestAyarla), then puts it on
// the screen, attached to the routing; with the browser answers of `browserScreen`
// when its check box is on.
frmOnizleme* present(const ScreenContext& context, framework::ReceiverController& receiver,
                     const delivery::RunPlan& given, const DeliveryHooks& hooks,
                     const QString& browserScreen,
                     const std::function<Status(frmOnizleme&, const delivery::RunPlan&)>& open) {
  QWidget* mainWindow = hooks.mainWindow;
  delivery::RunPlan plan = given;
  const std::optional<web::BrowserTakers> takers = browserTakers(context, browserScreen, plan);
  if (takers) {
    plan.studentRemotes = takers->addresses;
    plan.names = takers->names;
  }
  // The camera opens first: when it cannot, nobody gets a card tile that could
  // never answer.
  const std::optional<CardTakers> cardsTaken = cardTakers(context, browserScreen, plan);
  QPointer<framework::CardAnswers> cards;
  if (cardsTaken)
    cards = framework::CardAnswers::open(context, receiver.pipeline(), cardsTaken->holders,
                                         browserScreen);
  if (cards) {
    plan.studentRemotes = cardsTaken->addresses;
    plan.names = cardsTaken->names;
  }
  auto* window = new frmOnizleme(context, receiver::SteadyClock::instance());
  if (Status s = open(*window, plan); !s) {
    context.messages.warning(s.error());
    delete window;
    delete cards.data();
    return nullptr;
  }
  receiver.router().attach(window, &window->presses());
  if (takers) {
    if (auto* browser = framework::BrowserAnswers::open(context, receiver.pipeline(),
                                                        takers->roster, browserScreen)) {
      delivery::RunSession* session = &window->session();
      browser->follow(*session, session, &delivery::RunSession::changed);
      // Before the summary is shown: the run is over for the devices at once.
      QObject::connect(window, &frmOnizleme::finished, browser, &framework::BrowserAnswers::stop);
      // Large while the class gets ready (the start page, the remote test):
      // that is when the students join.
      browser->showOn(window, [session] {
        using Page = delivery::RunSession::Page;
        return session->page() == Page::StartScreen || session->page() == Page::RemoteTest;
      });
    }
  }
  if (cards) showCards(context, *cards, *window);
  const bool reportAtEnd = plan.settings.reportAtEnd && hooks.openReport;
  QObject::connect(
      window, &frmOnizleme::finished, &context.store,
      [&store = context.store, &messages = context.messages, reportAtEnd,
       openReport = hooks.openReport, run = QPointer<frmOnizleme>(window),
       mainWindow = QPointer<QWidget>(mainWindow)](const reports::RunKey& ended) {
        if (mainWindow) mainWindow->activateWindow();
        if (ended.start.isEmpty()) return;
        const std::optional<reports::RunKey> stored = runOnServer(store, ended);
        if (!stored) {
          messages.info(runKeptOnBoardText(), QStringLiteral("Test Uygulama"));
          return;
        }
        const reports::RunKey& key = *stored;
        // A run left before any question was stored has no report to
        // open: the summary says so calmly.
        const Result<delivery::RunStatistics> recorded = delivery::Recording(store).statistics(key);
        const QStringList leftOut = run ? run->session().leftOut() : QStringList();
        if (reportAtEnd && (!recorded || recorded->questions > 0)) {
          openReport(key);
          // The report counts who took part: say who did not.
          if (!leftOut.isEmpty())
            messages.info(leftOutText(leftOut).trimmed(), QStringLiteral("Test Uygulama"));
          return;
        }
        QString text = runSummary(store, key);
        if (!leftOut.isEmpty()) text += leftOutText(leftOut);
        if (!text.isEmpty()) messages.info(text, QStringLiteral("Test Uygulama"));
      });
  // The program quitting takes the presentation with it (what was left is stored).
  if (mainWindow) QObject::connect(mainWindow, &QObject::destroyed, window, &QObject::deleteLater);
  framework::showFullScreenOn(window, framework::presentationScreen(mainWindow));
  window->raise();
  window->activateWindow();
  receiver.router().focusWindow(window);
  if (window->session().virtualRemoteOnly()) {
    auto* remote = new frmSanalKumanda(window, &receiver);
    // Its one remote is "0-0": chosen, so that the first click answers.
    remote->lstAdresler()->setCurrentRow(0);
    remote->show();
    remote->raise();
  }
  return window;
}
// Cards read into the run while its window is open, the preview in its corner.
void showCards(const ScreenContext& context, framework::CardAnswers& cards, frmOnizleme& window) {
  for (const delivery::RunQuestion& q : window.session().content().questions)
    if (q.key.contains(QLatin1Char('E'))) {
      context.messages.warning(framework::CardAnswers::onlyAtoDText());
      break;
    }
  cards.followRun(window.session());
  QObject::connect(&window, &frmOnizleme::finished, &cards, &framework::CardAnswers::stop);
  cards.showOn(&window);
}
}  // namespace

void registerDeliveryScreens(framework::ScreenRegistry& registry, const ScreenContext& context,
                             framework::ReceiverController& receiver, const DeliveryHooks& hooks) {
  registry.registerScreen(kRunScreen, [context, &receiver, hooks](QWidget* parent) {
    auto* screen = new frmTestUygula(context, parent);
    screen->setEditTest(hooks.editTest);
    screen->setStartRun([context, &receiver, hooks](const delivery::RunPlan& plan) {
      return openPresentation(context, receiver, plan, hooks, kRunScreenName) != nullptr;
    });
    screen->setStartFreeRun([context, &receiver, hooks](const delivery::RunPlan& plan) {
      return openFreePresentation(context, receiver, plan, 0, hooks, false, kRunScreenName) !=
             nullptr;
    });
    screen->setOpenHomework(
        [context, &receiver, hooks] { (void)openHomeworkCheck(context, receiver, hooks); });
    return screen;
  });
  registry.registerScreen(kLessonScreen, [context, &receiver, hooks](QWidget* parent) {
    auto* screen = new frmDersUygula(context, parent);
    screen->setStartRun([context, &receiver, hooks](const delivery::RunPlan& plan) {
      return openFreePresentation(context, receiver, plan, 0, hooks, false,
                                  QStringLiteral("frmDersUygula")) != nullptr;
    });
    return screen;
  });
}

frmSerbestBilgileri* openHomeworkCheck(const ScreenContext& context,
                                       framework::ReceiverController& receiver,
                                       const DeliveryHooks& hooks) {
  auto* screen = new frmSerbestBilgileri(context);
  screen->setAttribute(Qt::WA_DeleteOnClose);
  screen->setStartRun(
      [context, &receiver, hooks](const delivery::RunPlan& plan, int questions, bool clip) {
        return openFreePresentation(context, receiver, plan, questions, hooks, clip,
                                    QStringLiteral("frmSerbestBilgileri")) != nullptr;
      });
  if (context.showScreen)
    context.showScreen(screen);
  else
    screen->show();
  return screen;
}

frmOnizleme* openPresentation(const ScreenContext& context, framework::ReceiverController& receiver,
                              const delivery::RunPlan& plan, const DeliveryHooks& hooks,
                              const QString& browserScreen) {
  return present(context, receiver, plan, hooks, browserScreen,
                 [](frmOnizleme& window, const delivery::RunPlan& p) { return window.Ayarla(p); });
}

frmOnizleme* openFreePresentation(const ScreenContext& context,
                                  framework::ReceiverController& receiver,
                                  const delivery::RunPlan& plan, int questionLimit,
                                  const DeliveryHooks& hooks, bool clip,
                                  const QString& browserScreen) {
  frmOnizleme* window = present(context, receiver, plan, hooks, browserScreen,
                                [questionLimit](frmOnizleme& window, const delivery::RunPlan& p) {
                                  return window.SerbestAyarla(p, questionLimit);
                                });
  if (!window || !window->controlBar()) return window;
  if (clip) window->setClipping(true);
  // The bar sits in the top left corner of the board, over the run's title: in
  // the middle it hid the remote test's instructions and the first tiles.
  frmSerbestTamEkran* bar = window->controlBar();
  // Presses while the teacher works on the bar are the run's.
  receiver.router().attach(bar, &window->presses());
  bar->adjustSize();
  bar->move(window->screen()->availableGeometry().topLeft());
  if (framework::commandsInColumn()) bar->placeOnBoard();
  bar->show();
  bar->raise();
  // A window manager places a new window where it likes: once it is up, it goes
  // to the teacher's side again.
  if (framework::commandsInColumn()) QTimer::singleShot(0, bar, [bar] { bar->placeOnBoard(); });
  return window;
}

void offerInterruptedRun(const ScreenContext& context, framework::ReceiverController& receiver,
                         const std::function<bool()>& mayRun, const DeliveryHooks& hooks) {
  const delivery::InterruptedRuns runs(context.store);
  Result<QList<delivery::InterruptedRun>> found = runs.find();
  if (!found || found.value().isEmpty()) return;
  if (mayRun && !mayRun()) return;
  Result<std::optional<delivery::RunPlan>> plan = runs.offer(context.messages);
  if (!plan) {
    cannotResume(context.messages, plan.error());
    return;
  }
  if (plan.value()) openPresentation(context, receiver, *plan.value(), hooks, kRunScreenName);
}

frmOnizleme* resumeRun(const ScreenContext& context, framework::ReceiverController& receiver,
                       const reports::RunKey& key, const DeliveryHooks& hooks) {
  const delivery::InterruptedRuns runs(context.store);
  Result<QList<delivery::InterruptedRun>> found = runs.find();
  if (!found) {
    cannotResume(context.messages, found.error());
    return nullptr;
  }
  for (const delivery::InterruptedRun& run : found.value()) {
    if (run.key != key) continue;
    Result<delivery::RunPlan> plan = runs.plan(run);
    if (!plan) {
      cannotResume(context.messages, plan.error());
      return nullptr;
    }
    return openPresentation(context, receiver, plan.value(), hooks, kRunScreenName);
  }
  context.messages.warning(QStringLiteral("Bu uygulama yarım kalmış bir uygulama değil."));
  return nullptr;
}

QString runSummary(store::Store& store, const reports::RunKey& key) {
  if (key.start.isEmpty()) return {};
  Result<delivery::RunStatistics> s = delivery::Recording(store).statistics(key);
  if (!s)
    return QStringLiteral("Uygulama kaydedildi; istatistikler okunamadı (%1).").arg(s.error());
  return runSummaryText(s.value());
}

QString leftOutText(const QStringList& names) {
  return QStringLiteral("\n\nKumanda testinde basmadığı için testin dışında kalan (%1): %2")
      .arg(names.size())
      .arg(names.join(QStringLiteral(", ")));
}

QString runSummaryText(const delivery::RunStatistics& r) {
  if (r.questions == 0) return QStringLiteral("Uygulamadan hiç soru kaydedilmeden çıkıldı.");
  // One arg() for all: chained, the "%" before a percentage made "%0.00" a place
  // marker for the next value.
  return QStringLiteral(
             "Uygulama tamamlandı ve kaydedildi.\n\n"
             "Öğrenci: %1    Soru: %2\n"
             "Doğru: %3 (%%4)    Yanlış: %5 (%%6)    Boş: %7 (%%8)\n\n"
             "Ayrıntılar Raporlar bölümündedir.")
      .arg(QString::number(r.students), QString::number(r.questions), QString::number(r.correct),
           r.correctPercent, QString::number(r.wrong), r.wrongPercent, QString::number(r.blank),
           r.blankPercent);
}

}  // namespace deliveryui
