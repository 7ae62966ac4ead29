#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace bench {

// Runs `body` `repeats` times (after `setup` each time, not measured) and prints
// one JSON line: {"name":..,"n":..,"median_ms":..,"min_ms":..,"max_ms":..}.
// `n` is the size of the work one run does (rows, presses, files ...).
void measure(const QString& name, long long n, int repeats, const std::function<void()>& body,
             const std::function<void()>& setup = {});
// Prints an already measured figure in the same form (for latency percentiles).
void print(const QString& name, long long n, double medianMs, double minMs, double maxMs,
           const QString& extra = {});
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
void cardBenchmarks();

}  // namespace bench
