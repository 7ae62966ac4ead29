#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

#include "Result.h"

namespace store {
class Store;
}

namespace reports {

// Which questions worked: the classical item statistics of one run, or of a test
// over all its runs. Pure arithmetic over a response matrix (one respondent per
// remote and run, one item per question); RunReport::itemAnalysis() and
// analyseTest() fill it from the stored answers, judged by reports::outcome().
//
//   ItemAnalysis::Input in;           // items with keys, responses per respondent
//   ItemAnalysis::Findings r = ItemAnalysis::compute(in);
//   r.items[0].facility, r.items[0].flags, r.kr20 ...
class ItemAnalysis {
 public:
  static constexpr int kOptions = 5;  // A .. E

  // One answer: the option chosen (0 = A .. 4 = E, -1 = blank or no answer) and
  // whether it scored as correct.
  struct Response {
    int option = -1;
    bool correct = false;
  };
  struct Item {
    QString position;  // TESTSIRANO (for a test over its runs, its place in the test)
    QString soruNo;    // SORUNO
    QString key;       // empty: left out of every figure and named in leftOut
    // One entry per respondent, in the same order for every item.
    std::vector<Response> responses;
  };
  struct Input {
    QList<Item> items;
    int respondents = 0;
    int optionCount = kOptions;  // three-button remotes offer A .. C only
  };

  struct OptionFigures {
    int count = 0;
    double share = 0;                     // count / respondents
    std::optional<double> pointBiserial;  // choosing it against the rest score
  };
  struct ItemFigures {
    QString position;
    QString soruNo;
    QString key;
    double facility = 0;                   // share correct
    std::optional<double> discrimination;  // corrected point-biserial
    std::optional<double> upperLower;      // upper 27 % minus lower 27 % facility
    double blank = 0;                      // share blank or unanswered
    std::array<OptionFigures, kOptions> options;
    QStringList flags;  // the Turkish flags below, in this order
  };
  struct Findings {
    QList<ItemFigures> items;  // keyed items, in input order
    QStringList leftOut;       // positions of the items without a key
    int respondents = 0;
    int optionCount = kOptions;
    std::optional<double> kr20;  // needs two items and a spread of totals
    double mean = 0;             // of the totals (number correct of the keyed items)
    double sd = 0;               // population standard deviation of the totals
    std::optional<double> sem;   // sd * sqrt(1 - kr20)
  };

  static Findings compute(const Input& input);

  // The flags a teacher acts on.
  static QString tooEasy() { return QStringLiteral("çok kolay"); }
  static QString tooHard() { return QStringLiteral("çok zor"); }
  static QString lowDiscrimination() { return QStringLiteral("ayırt ediciliği düşük"); }
  static QString negativeDiscrimination() {
    return QStringLiteral("negatif ayırt edicilik: cevap anahtarını kontrol edin");
  }
  static QString deadDistractor() { return QStringLiteral("çeldirici çalışmıyor"); }

  // The table as the report view, the workbook and the PDF show it: one row per
  // keyed question; figures with two decimals, "-" where a figure does not exist.
  static QStringList captions(int optionCount);
  static QList<QStringList> cells(const Findings& findings);
  // "Öğrenci sayısı: 25", "KR-20: 0.75", ... and the questions left out.
  static QStringList summary(const Findings& findings);

  // The group size of the upper-lower index: 27 % of the respondents, rounded,
  // at least one.
  static int extremeGroupSize(int respondents);
};

// A test over all its stored runs: every remote of every run answers once per
// question (a question is known by its SORUNO); each answer is judged by its own
// run's key. A question without a key in one of its runs is left out.
Result<ItemAnalysis::Findings> analyseTest(const store::Store& store, const QString& testNo);
// The table with its title and summary, sheet "Madde Analizi".
Status writeItemAnalysisXlsx(const ItemAnalysis::Findings& result, const QString& title,
                             const QString& path);

}  // namespace reports
