#pragma once

#include <functional>

#include "delivery/Recording.h"
#include "delivery/RunPlan.h"
#include "framework/ScreenContext.h"

class QWidget;
class frmOnizleme;
class frmSerbestBilgileri;

namespace framework {
class ReceiverController;
class ScreenRegistry;
}  // namespace framework

// The run of a test in class: the setup screen and the presentation.
namespace deliveryui {

// What the area needs of the main window.
struct DeliveryHooks {
  // Opens the test screen of the main bar on a test (the setup's "Testi
  // Düzenle"), through its rights check.
  std::function<void(const QString& testNo)> editTest;
  // The main window, whose screen the presentation avoids when there are two.
  QWidget* mainWindow = nullptr;
  // Opens the report of a finished run in the main window (the run's "Rapor
  // Göster" at the end); empty: the teacher gets a summary message instead.
  std::function<void(const reports::RunKey&)> openReport;
};

// Puts frmTestUygula (button 4) and the lesson mode frmDersUygula (button 7) on
// the main bar; their rights checks, menu items and home tiles come with the
// registry. "Testi Başlat" opens the presentation through openPresentation();
// "Serbest Soru Sor", the homework check (frmSerbestBilgileri, opened from the
// run screen under the "Ödev Kontrol" right) and "Dersi Başlat" through
// openFreePresentation().
void registerDeliveryScreens(framework::ScreenRegistry& registry, const ScreenContext& context,
                             framework::ReceiverController& receiver, const DeliveryHooks& hooks);

// Opens the full-screen presentation of a run, on the projector when there are
// two screens, attached to the press routing; a run answered on the virtual
// remote ("0-0") opens it beside. When the run ends its report opens (when the
// run's options ask for it and the hooks can), or the teacher is told how it went. Null (after a
// message) when the run could not be opened. When the "Tarayıcıdan cevaplansın" box of
// `browserScreen` (a set-up screen's window name) is ticked, the class answers from
// browsers too while the presentation is open.
frmOnizleme* openPresentation(const ScreenContext& context, framework::ReceiverController& receiver,
                              const delivery::RunPlan& plan, const DeliveryHooks& hooks = {},
                              const QString& browserScreen = {});

// The same for a free run (free questioning, a lesson; a `questionLimit` > 0 is
// the homework check); with `clip` the control bar offers to clip each
// question's picture. Null (after a message) when it could not be opened.
frmOnizleme* openFreePresentation(const ScreenContext& context,
                                  framework::ReceiverController& receiver,
                                  const delivery::RunPlan& plan, int questionLimit = 0,
                                  const DeliveryHooks& hooks = {}, bool clip = false,
                                  const QString& browserScreen = {});

// Opens the homework check (inside the main window when it can).
frmSerbestBilgileri* openHomeworkCheck(const ScreenContext& context,
                                       framework::ReceiverController& receiver,
                                       const DeliveryHooks& hooks = {});

// At start-up: an interrupted run is offered ("Yarım kalan bir uygulama var: …,
// devam edilsin mi?") and taken up again on "Evet". `mayRun` is the rights check
// of the run screen; it is asked only when there is a run to offer.
void offerInterruptedRun(const ScreenContext& context, framework::ReceiverController& receiver,
                         const std::function<bool()>& mayRun, const DeliveryHooks& hooks = {});

// Takes up the interrupted run `key` on the presentation (the report selection's
// "Uygulamaya Devam Et"); null after a message when it is not an interrupted run.
frmOnizleme* resumeRun(const ScreenContext& context, framework::ReceiverController& receiver,
                       const reports::RunKey& key, const DeliveryHooks& hooks = {});

// The teacher's summary of a finished run ("Uygulama tamamlandı. ..."); empty
// when no question was ever shown.
QString runSummary(store::Store& store, const reports::RunKey& key);
QString runSummaryText(const delivery::RunStatistics& statistics);
// The summary's line naming the students left out at the remote test.
QString leftOutText(const QStringList& names);

}  // namespace deliveryui
