#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace bench {

// Runs `body` `repeats` times (after `setup` each time, not measured) and prints
// one JSON line: {"name":..,"n":..,"median_ms":..,"min_ms":..,"max_ms":..}.
// `n` is the size of the work one run does (rows, presses, files ...).
void measure(const QString& name, long long n, int repeats, const std::function<void()>& body,
             const std::function<void()>& setup = {});
// Prints an already measured figure in the same form (for latency percentiles).
void print(const QString& name, long long n, double medianMs, double minMs, double maxMs,
           const QString& extra = {});
// The times in milliseconds of `repeats` runs of `body` (after `setup` each
// time, not measured), sorted.
std::vector<double> timings(int repeats, const std::function<void()>& body,
                            const std::function<void()>& setup = {});
double median(const std::vector<double>& sorted);
// One figure on the school's server next to the same work on a data folder,
// both measured in the same run (sorted times): the server's in the usual keys,
// "sqlite_median_ms" and "ratio_median_to_sqlite" after them, then `extra`.
void printCompared(const QString& name, long long n, const std::vector<double>& server,
                   const std::vector<double>& sqlite, const QString& extra = {});
// True when the figure's name matches the filter given on the command line.
bool selected(const QString& name);
void setFilter(const QStringList& names);

// Each area registers its figures here.
void storeBenchmarks();
void contentBenchmarks();
void receiverBenchmarks();
void widgetBenchmarks();
void importBenchmarks();
void authoringBenchmarks();
void deliveryBenchmarks();
void reportBenchmarks();
void webBenchmarks();
// The devices' side of the web figures, run as a process of its own.
constexpr char kDevicesArgument[] = "--web-cihazlari";
int webDevices(const QStringList& args);
void serverBenchmarks();
// One board of the server figures, run as a process of its own.
constexpr char kBoardArgument[] = "--sunucu-tahtasi";
int serverBoard(const QStringList& args);
// The reports and the move of a board's folder, on the server and on SQLite.
void serverReportBenchmarks();
void cardBenchmarks();

}  // namespace bench
