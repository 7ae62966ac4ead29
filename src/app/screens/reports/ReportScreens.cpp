#include "screens/reports/ReportScreens.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QSet>

#include "Messages.h"
#include "school/Pairing.h"
#include "screens/reports/frmRaporlar.h"
#include "screens/reports/frmRaporlarMenu.h"
#include "screens/school/SchoolScreens.h"
#include "shell/PressRouter.h"
#include "shell/ScreenRegistry.h"
#include "store/Store.h"
#include "widgets/FileDialogs.h"

namespace reportsui {

void registerReportScreens(shell::ScreenRegistry& registry, const ScreenContext& context,
                           shell::PressRouter* router,
                           std::function<void(const reports::ResumeRun&)> resume) {
  registry.registerScreen(5, [context, router, resume](QWidget* parent) {
    auto* screen = new frmRaporlarMenu(context, parent);
    if (resume) screen->setResumer(resume);
    screen->setReportOpener([context, router](const reports::RunKey& run) {
      OpenOptions options;
      options.router = router;
      (void)openRunReport(context, run, options);
    });
    return screen;
  });
}

frmRaporlar* openRunReport(const ScreenContext& context, const reports::RunKey& run,
                           const OpenOptions& options) {
  auto* screen = new frmRaporlar(context, run);
  if (!screen->loaded()) {
    delete screen;
    return nullptr;
  }
  reports::ReportNavigator& nav = screen->navigator();
  nav.setOpenedFromRun(options.fromRun);
  const Result<QStringList> teachers = context.store.column(
      school::Pairing::teacherRemotesQuery().sql, school::Pairing::teacherRemotesQuery().params);
  if (teachers.ok())
    nav.setTeacherRemotes(QSet<QString>(teachers.value().begin(), teachers.value().end()));
  if (auto* box = screen->findChild<QCheckBox*>(QStringLiteral("chkOgretmenKumandasi")))
    box->setChecked(options.fromRun);
  if (options.router) options.router->attach(screen, &nav);
  present(context, screen);
  return screen;
}

void present(const ScreenContext& context, QWidget* screen) {
  if (context.showScreen) {
    context.showScreen(screen);
    return;
  }
  screen->setAttribute(Qt::WA_DeleteOnClose);
  screen->resize(1280, 800);
  screen->show();
}

QString reportFile(QWidget* parent, const QString& proposedName) {
  const QString suffix = QFileInfo(proposedName).suffix();
  const QString filter = suffix == QStringLiteral("pdf") ? QStringLiteral("PDF Dosyası (*.pdf)")
                                                         : QStringLiteral("Excel Dosyası (*.xlsx)");
  return filedialogs::saveFile(parent, QStringLiteral("Raporlar"), QStringLiteral("Raporu Kaydet"),
                               proposedName, filter, suffix);
}

void offerToOpen(Messages& messages, const QString& path) {
  if (messages.ask(
          QStringLiteral("Raporunuz başarıyla hazırlandı, Raporu şimdi açmak ister misiniz?")))
    schoolui::openFile(messages, path);
}

}  // namespace reportsui
