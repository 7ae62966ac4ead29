#pragma once

#include <QString>

#include <optional>

namespace reports {

// How many wrong answers cancel a correct one in a run. A run keeps it as text on
// its question and answer rows (YANLISDOGRUGOTURU): "0" none, "1" three wrongs,
// anything else four wrongs, an empty value too (runs recorded before the choice
// existed were scored that way). Written back always as "0", "1" or "2".
enum class Penalty { None = 0, ThreeWrongs = 1, FourWrongs = 2 };

Penalty penaltyFromStored(const QString& stored);
QString storedPenalty(Penalty penalty);
// The command line's "0", "1" or "2"; nothing for anything else.
std::optional<Penalty> penaltyFromOption(const QString& option);

// The net in twelfths of a correct answer: whole numbers for every penalty, so
// equal nets compare equal however they were reached (5 - 1/3 and 6 - 4/3).
qint64 netTwelfths(int correct, int wrong, Penalty penalty);
// Real division: 6 correct, 4 wrong is 4.666… with three wrongs, 5 with four.
double net(int correct, int wrong, Penalty penalty);

// The same net in SQL, from SQL expressions of the counts and of the stored text.
QString netSql(const QString& correct, const QString& wrong, const QString& stored);
// The stored penalty of the run a result row (TABLESONUC under `alias`, "S.")
// belongs to: its question rows carry it.
QString runPenaltySql(const QString& alias);
// The exact net of a result row under `alias`, from its counts and its run's penalty.
QString resultNetSql(const QString& alias);
// The same for every row of a long read: the runs' penalties grouped once and
// joined (put runPenaltyJoin after the result table), where a subquery per row
// would cost as much as the rest of the row on the server and keep it from
// sharing the statement among its workers. `joinAlias` names the joined table.
QString runPenaltyJoin(const QString& alias, const QString& joinAlias);
QString joinedResultNetSql(const QString& alias, const QString& joinAlias);

}  // namespace reports
