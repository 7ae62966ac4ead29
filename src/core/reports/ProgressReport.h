#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

#include "Result.h"
#include "reports/RunCriteria.h"

namespace store {
class Store;
}

namespace reports {

// One run in the progress of a student or a class: the run's description and the
// subject's percentages of its questions; for a student also the whole run's
// success beside it.
struct ProgressRow {
  QString testTarihi, testBaslangic, testBitis, testNo, testAdi;
  int soruSayisi = 0;
  QString seviye, ders, unite, konu, kazanim, sinifi, grup, aciklama;
  QString kisiSayisi;
  double netOran = 0, dogruOran = 0, yanlisOran = 0, bosOran = 0;  // percent
  std::optional<double> sinifNetOran;                              // students only
};

// The relative progress report (frmRaporlarGoreceli): the teacher steps through
// the chosen students or classes; for the one shown it holds the title, one row
// per run (oldest first) and the chart's series. Stepping reads the next subject
// from the stored results.
class ProgressReport {
 public:
  enum class Subject { Student, Class };

  ProgressReport(const store::Store& store, Subject kind, QStringList subjects,
                 RunCriteria criteria);

  Subject kind() const { return m_kind; }
  int count() const { return int(m_subjects.size()); }
  int index() const { return m_index; }
  // "2/5": the position of the shown subject and the number of subjects.
  QString counter() const;
  // Shows subject i (0-based), reading its runs.
  Status show(int index);
  Status next() { return show(m_index + 1); }
  Status previous() { return show(m_index - 1); }
  bool hasNext() const { return m_index + 1 < count(); }
  bool hasPrevious() const { return m_index > 0; }

  // "Ali Can İsimli Öğrencinin Girdiği Uygulamaların İstatistiği",
  // "5-A Sınıfına Yapılan Uygulamaların İstatistiği".
  const QString& title() const { return m_title; }
  const QList<ProgressRow>& rows() const { return m_rows; }

  // The table's columns: stored names and captions, in order.
  static QStringList columnNames();
  static QStringList captions();
  // A row as the table shows it (percentages "0.00").
  static QStringList cells(const ProgressRow& row);
  // The chart: the subject's success per run, and for a student the class's beside
  // it (empty for a class), rounded to two decimals, in run order.
  QList<double> subjectSeries() const;
  QList<double> classSeries() const;
  // Chart type kept per user in "RaporGoreceli" / "Grafik".
  static int chartKind();
  static void setChartKind(int kind);

  // The shown subject's table with its title, sheet "Sayfa1".
  Status exportXlsx(const QString& path) const;

  // The rows of one subject (what show() reads), for the command line.
  Result<QList<ProgressRow>> rowsOf(const QString& subject) const;

 private:
  Result<QString> titleOf(const QString& subject) const;

  const store::Store& m_store;
  Subject m_kind;
  QStringList m_subjects;
  RunCriteria m_criteria;
  int m_index = -1;
  QString m_title;
  QList<ProgressRow> m_rows;
};

}  // namespace reports
