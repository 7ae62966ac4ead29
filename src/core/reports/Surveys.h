#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "Result.h"
#include "reports/Participants.h"
#include "reports/Scoring.h"

namespace store {
class Store;
}

namespace reports {

// One person of a survey run: a student, the virtual remote's answerer, or an
// unpaired remote (named by its address).
struct SurveyPerson {
  QString key;  // participantKey()
  PersonName name;
  QString sinifi;
};

// The work-expectation survey "Beklenti Anketi": 55 two-option questions scored
// against eleven work values. ExpectationSurvey evaluates a run into sheets (one
// per student, one per class, one overall) and writes them as .odt and .pdf.
class ExpectationSurvey {
 public:
  struct Criterion {
    QString name;         // KARARLARAKATILMAK ...
    QString text;         // "Kararlara katılmak" ...
    QStringList answers;  // "9-A", "13-A" ...: question number, "-", option
  };
  // The eleven criteria in document order.
  static const QList<Criterion>& criteria();

  // One document: a score and an importance rank per criterion (document order).
  struct Sheet {
    QString nameCaption;  // "ADINIZ-SOYADINIZ : " / "Adınız-Soyadınız : "
    QString name;         // the student, the class or "Genel"
    QString dateCaption;  // "TARİH : " / "Tarih : "
    QString date;         // the run's date
    QList<int> scores;
    QList<int> ranks;
    // Criterion indices by rank (class and overall documents list them so).
    QList<int> byRank() const;
  };
  struct Evaluation {
    QList<SurveyPerson> people;
    QList<Sheet> students;  // same order as people
    QList<Sheet> classes;   // one per class, Turkish alphabetical order
    Sheet overall;
  };

  explicit ExpectationSurvey(const store::Store& store) : m_store(store) {}

  // Every person who has an answer row in the run gets a sheet, also one who
  // answered nothing (eleven zeros, all ranked 1).
  Result<Evaluation> evaluate(const RunKey& run) const;
  // Writes every sheet into `folder` as .odt and .pdf (an older file of the same
  // name is replaced); returns the files written.
  static Result<QStringList> write(const Evaluation& evaluation, const QString& folder);
  // One more than the number of strictly higher scores: equal scores share a rank
  // and the next rank is skipped (10, 10, 7 -> 1, 1, 3).
  static QList<int> ranks(const QList<int>& scores);

 private:
  const store::Store& m_store;
};

// The leadership-style survey "Liderlik Tarzı": per person a people-oriented and
// a task-oriented score, each in a workbook of its own.
class LeadershipSurvey {
 public:
  struct Score {
    SurveyPerson person;
    int peopleOriented = 0;  // INSANODAKLI
    int taskOriented = 0;    // ISODAKLI
  };

  explicit LeadershipSurvey(const store::Store& store) : m_store(store) {}

  // Whether an answer to the item at `position` agrees with its statement: D or E
  // for the reversed items, A or B for the others.
  static bool counts(int position, const QString& answer);
  static bool peopleItem(int position);

  Result<QList<Score>> evaluate(const RunKey& run) const;
  // One workbook per person: name in D1, class in D2, INSANODAKLI in B4, ISODAKLI
  // in B5. Returns the files written.
  static Result<QStringList> write(const QList<Score>& scores, const QString& folder);

 private:
  const store::Store& m_store;
};

// The folder the survey documents go into: Sonuclar in the data folder.
QString surveyFolder(const store::Store& store);
// What the wait window shows while a survey is evaluated.
inline QString surveyProgressText() { return QStringLiteral("Sonuçlar Değerlendiriliyor..."); }

}  // namespace reports
