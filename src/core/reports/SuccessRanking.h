#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "Result.h"
#include "reports/RunCriteria.h"

namespace store {
class Store;
}

namespace reports {

// The success ranking (frmRaporlarBasariListesi): per student one figure per
// course and one overall, from the stored results of the runs the criteria pick,
// sorted by the overall cell. SuccessRanking builds it; Ranking is what the list,
// the chart, the podium, the workbook and the command line show.
struct RankingRow {
  QString kayitNo;
  QString adi;
  QString soyadi;
  QString sinifi;
  QString ders;           // the course, or " GENEL" for the overall row
  int testSayisi = 0;     // runs counted
  double net = 0;         // success in percent, rounded to two decimals
  double toplamSure = 0;  // seconds: the course's total, or the average of the courses
};

struct RankedStudent {
  RankingRow overall;
  QList<RankingRow> courses;  // in Turkish alphabetical order
  double speed = 0;           // 100 * overall success / (overall seconds + 1)
  // "63.33": the overall success. The list is sorted by it, then by the speed;
  // they are two columns, not one zero-padded text that sorted as text.
  QString overallCell() const;
  QString speedCell() const;
  // "63.33 (3)", or empty when the student has no run of that course.
  QString courseCell(const QString& ders) const;
};

struct Ranking {
  static QString overallName() { return QStringLiteral(" GENEL"); }
  QList<RankedStudent> students;  // list order: best overall cell first
  QStringList courses;            // the course columns, Turkish alphabetical order
  RunCriteria criteria;

  QString title(RunCriteria::View view) const { return criteria.title(view); }
  // What "GENEL" stands for, under the list's title: the mean of the counted runs'
  // percentages (100 × net / questions), whatever their course, then the speed.
  static QString overallExplanation() {
    return QStringLiteral(
        "GENEL: genel başarı, sayılan uygulamaların başarı yüzdelerinin (100 × net / soru "
        "sayısı) ortalamasıdır. HIZ: genel başarının ortalama süreye (sn + 1) oranının 100 "
        "katı; genel başarısı eşit olanlardan hızlı olan önde sıralanır. Ders sütunları o "
        "dersin uygulamalarının ortalamasını ve parantez içinde uygulama sayısını gösterir.");
  }
  // The list's column captions: "Kayıt No", "Adı", "Soyadı", "Sınıfı", "GENEL", courses.
  QStringList captions() const;
  // The list's rows as the screen shows them, one per student.
  QList<QStringList> cells() const;
  // The chart: "ADI SOYADI (SINIFI)" with the overall success, best first.
  struct Bar {
    QString label;
    double value = 0;
  };
  QList<Bar> bars() const;
  // The podium: "ADI SOYADI" of the first three students, as many as there are.
  QStringList podium() const;
  // The rows of the table behind the list: per student the overall row first, then
  // the courses, students in list order (the command line's JSON).
  QList<RankingRow> tableRows() const;
};

class SuccessRanking {
 public:
  explicit SuccessRanking(const store::Store& store) : m_store(store) {}

  // Ranks the students with these keys. Runs of the class "TÜMÜ" never count.
  Result<Ranking> build(const QStringList& kayitNos, const RunCriteria& criteria) const;
  // Every active student of a class ("TÜMÜ" or empty: of every class).
  Result<QStringList> studentsOf(const QString& sinifi) const;
  // Every active student of these classes, class by class.
  Result<QStringList> studentsOf(const QStringList& classes) const;
  // Writes the list with its title to the sheet "Sayfa1".
  static Status exportXlsx(const Ranking& ranking, RunCriteria::View view, const QString& path);

 private:
  const store::Store& m_store;
};

}  // namespace reports
