#pragma once

#include <QString>

#include "Result.h"
#include "reports/ReportNavigator.h"
#include "reports/ReportOptions.h"

namespace reports {

class RunReport;

// Files made from a run's report: the answers table as a workbook (the "MS Excel"
// button), every view in one PDF, and the result sheets for parents' meetings (a
// PDF page per student: the run, their answers against the key, net, rank in the
// class and the class's average). The PDFs need a QGuiApplication.
class ReportExports {
 public:
  // The name the answers workbook is offered under.
  static QString answersFileName() { return QStringLiteral("Verilen_Cevaplar.xlsx"); }
  static QString sheetsFileName() { return QStringLiteral("Sonuc_Belgeleri.pdf"); }
  static QString viewsFileName() { return QStringLiteral("Uygulama_Raporu.pdf"); }

  // The answers table with the report's title (times in the cells with the
  // "Süreleri Göster" option).
  static Status answersXlsx(const RunReport& report, const ReportOptions& options,
                            const QString& path);
  // General figures, answers table, every question, every student, the
  // distribution and the item analysis.
  static Status viewsPdf(const RunReport& report, const ReportOptions& options,
                         const QString& path);
  static Status resultSheetsPdf(const RunReport& report, const QString& path);
  // One page of the report as the screen shows it (`index`: the question or the
  // remote of those pages).
  static Status pagePdf(const RunReport& report, const ReportOptions& options,
                        ReportNavigator::Page page, int index, const QString& path);

  // The HTML behind the PDFs (a screen may preview or print it).
  static QString viewsHtml(const RunReport& report, const ReportOptions& options);
  static QString resultSheetsHtml(const RunReport& report);
  static QString pageHtml(const RunReport& report, const ReportOptions& options,
                          ReportNavigator::Page page, int index);
};

}  // namespace reports
