#pragma once

#include <QList>
#include <QString>

#include <functional>

#include "framework/ScreenContext.h"
#include "reports/RunList.h"
#include "reports/Scoring.h"

class Messages;
class frmRaporlar;
class frmRaporlarMenu;
class QWidget;

namespace store {
class Store;
}

namespace framework {
class PressRouter;
class ScreenRegistry;
}  // namespace framework

// The results area: the report selection frmRaporlarMenu on the main bar (button
// 5, right "frmRaporlarMenu", which also gives its home tile and menu item) and
// the report of one run, frmRaporlar, which the selection and the run screens open.
namespace reportsui {

// `router` takes the teacher remote's presses to an open report; null: none.
// `resume` takes an interrupted run up again on the presentation (the run
// screens give it); empty: the selection offers no "Uygulamaya Devam Et".
void registerReportScreens(framework::ScreenRegistry& registry, const ScreenContext& context,
                           framework::PressRouter* router,
                           std::function<void(const reports::ResumeRun&)> resume = {});

struct OpenOptions {
  // Opened by the presentation after a question: "Teste Devam Et (BOŞ)" instead
  // of "Çıkış (BOŞ)", and the teacher remote drives the report from the start.
  bool fromRun = false;
  framework::PressRouter* router = nullptr;
};

// Opens the report of the run (date and start time as stored) inside the main
// window when the context can show screens, otherwise as a window of its own.
// Returns the screen (null when the run cannot be read; the user has been told).
frmRaporlar* openRunReport(const ScreenContext& context, const reports::RunKey& run,
                           const OpenOptions& options = {});

// "Geçmiş Yıllar": the school years a rollover put in a backup, newest first, as
// "2025-2026" with the backup's folder name.
struct PastYear {
  QString label;
  QString backupFolder;  // Yedek/<stamp>, whole
};
QList<PastYear> pastYears(const store::Store& store);
// Asks which old year to open (the teacher is told when there is none), then
// opens it with openPastYear().
void choosePastYear(const ScreenContext& context, QWidget* parent, const OpenOptions& options);
// Opens the report selection of an old year: the backup's files are copied
// aside and read there with every report as today, so that nothing done there
// ever changes the backup. Null when it cannot be read (the teacher is told).
frmRaporlarMenu* openPastYear(const ScreenContext& context, const PastYear& year,
                              const OpenOptions& options = {});

// Shows a screen of the area inside the main window when the context can,
// otherwise as a window of its own, deleted when closed.
void present(const ScreenContext& context, QWidget* screen);

// The file a report is written to: the save dialog offers `proposedName` (a
// .xlsx or .pdf name); empty when the teacher cancels.
QString reportFile(QWidget* parent, const QString& proposedName);
// After a workbook is written: "Raporunuz başarıyla hazırlandı, Raporu şimdi açmak
// ister misiniz?", and on yes the file opens.
void offerToOpen(Messages& messages, const QString& path);

}  // namespace reportsui
