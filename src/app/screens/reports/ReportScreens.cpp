#include "screens/reports/ReportScreens.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QSet>
#include <QTemporaryDir>

#include "Messages.h"
#include "framework/FileDialogs.h"
#include "framework/PressRouter.h"
#include "framework/ScreenHelpers.h"
#include "framework/ScreenRegistry.h"
#include "school/Pairing.h"
#include "school/Rollover.h"
#include "screens/reports/frmRaporlar.h"
#include "screens/reports/frmRaporlarMenu.h"
#include "store/RolloverFiles.h"
#include "store/Store.h"

namespace reportsui {

void registerReportScreens(framework::ScreenRegistry& registry, const ScreenContext& context,
                           framework::PressRouter* router,
                           std::function<void(const reports::ResumeRun&)> resume) {
  registry.registerScreen(5, [context, router, resume](QWidget* parent) {
    auto* screen = new frmRaporlarMenu(context, parent);
    if (resume) screen->setResumer(resume);
    screen->setPastYearsOpener([context, router, screen] {
      OpenOptions options;
      options.router = router;
      choosePastYear(context, screen, options);
    });
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

namespace {

// An old year's files, copied aside, and the store that reads them. It lives as
// long as the program: the reports opened from it read through its store.
class PastYearData : public QObject {
 public:
  explicit PastYearData(QObject* parent) : QObject(parent) {}
  ~PastYearData() override { store.reset(); }
  QTemporaryDir folder;
  std::unique_ptr<store::Store> store;
};

}  // namespace

QList<PastYear> pastYears(const store::Store& store) {
  QList<PastYear> out;
  const QList<store::Backup> backups = store::completeBackups(store.root());
  for (auto it = backups.crbegin(); it != backups.crend(); ++it) {
    // The year the rollover left: the one before the year it was done for, which
    // it recorded before the copy was taken (else the one of the day it was done).
    QString done = store::backupSchoolYear(*it);
    if (done.isEmpty())
      done = school::Rollover::schoolYearLabel(
          QDate::fromString(it->stamp.section(QLatin1Char('-'), 0, 0), QStringLiteral("yyyy.M.d")));
    const int first = done.left(4).toInt() - 1;
    out.append({QStringLiteral("%1-%2").arg(first).arg(first + 1), it->folder});
  }
  return out;
}

void choosePastYear(const ScreenContext& context, QWidget* parent, const OpenOptions& options) {
  const QList<PastYear> years = pastYears(context.store);
  if (years.isEmpty()) {
    context.messages.info(
        QStringLiteral("Henüz geçmiş yıl yok: sınıf atlatmadan sonra eski yılın sonuçları "
                       "buradan açılır."),
        QStringLiteral("Geçmiş Yıllar"));
    return;
  }
  QStringList items;
  for (const PastYear& y : years)
    items << QStringLiteral("%1 (Yedek/%2)").arg(y.label, QFileInfo(y.backupFolder).fileName());
  bool ok = false;
  const QString chosen =
      QInputDialog::getItem(parent, QStringLiteral("Geçmiş Yıllar"),
                            QStringLiteral("Açılacak eğitim öğretim yılı:"), items, 0, false, &ok);
  if (!ok) return;
  (void)openPastYear(context, years.at(std::max<qsizetype>(0, items.indexOf(chosen))), options);
}

frmRaporlarMenu* openPastYear(const ScreenContext& context, const PastYear& year,
                              const OpenOptions& options) {
  auto* data = new PastYearData(QCoreApplication::instance());
  auto fail = [&](const QString& why) {
    context.messages.error(QStringLiteral("%1 yılının yedeği açılamadı: %2").arg(year.label, why));
    delete data;
    return nullptr;
  };
  if (!data->folder.isValid()) return fail(QStringLiteral("geçici klasör oluşturulamadı"));
  // The database files only; the backup itself is never opened for writing.
  const QStringList files =
      QDir(year.backupFolder).entryList({QStringLiteral("DERSLIK*.db")}, QDir::Files);
  for (const QString& f : files)
    if (!QFile::copy(QDir(year.backupFolder).filePath(f), data->folder.filePath(f)))
      return fail(QStringLiteral("%1 kopyalanamadı").arg(f));
  data->store = std::make_unique<store::Store>(data->folder.path());
  if (Result<store::CheckReport> opened = data->store->open(); !opened) return fail(opened.error());
  const ScreenContext past{*data->store, context.messages, context.session, context.showScreen};
  auto* menu = new frmRaporlarMenu(past);
  menu->setPastYear(year.label);
  menu->setReportOpener([past, router = options.router](const reports::RunKey& run) {
    OpenOptions o;
    o.router = router;
    (void)openRunReport(past, run, o);
  });
  present(context, menu);
  return menu;
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
    framework::openFile(messages, path);
}

}  // namespace reportsui
