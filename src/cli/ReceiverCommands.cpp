#include "CliCommand.h"

#include "receiver/ClassroomSimulation.h"
#include "receiver/ReportDecoder.h"

namespace cli {

namespace {

int decode(store::Store&, const QStringList& args, QTextStream& out, QTextStream& err) {
  if (args.size() != receiver::kReportDataSize) {
    err << "Raporun 1.-16. baytları gerekli (16 sayı), " << args.size() << " verildi.\n";
    return 2;
  }
  QByteArray data;
  for (const QString& a : args) {
    bool ok = false;
    const int v = a.toInt(&ok);
    if (!ok || v < 0 || v > 255) {
      err << "Geçersiz bayt: " << a << " (0-255 arası bir sayı olmalı)\n";
      return 2;
    }
    data.append(char(v));
  }
  const receiver::DecodedReport r = receiver::decodeReport(data);
  out << "Rapor: " << r.text << '\n';
  if (!r.isPress) {
    out << r.reason << '\n';
    return 1;
  }
  out << "Adres: " << r.address << '\n';
  out << "Düğme: "
      << (r.letter.isEmpty()
              ? QStringLiteral("(bilinmeyen kod %1: bir önceki düğme harfi kullanılır)")
                    .arg(r.buttonCode)
              : r.letter)
      << '\n';
  out << "Kod: " << r.code << '\n';
  return 0;
}

int simulate(store::Store&, const QStringList& args, QTextStream& out, QTextStream& err) {
  receiver::SimulationOptions options;
  qint64 seconds = 60;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    const bool hasValue = i + 1 < args.size();
    bool ok = false;
    if (a == QLatin1String("--remotes") && hasValue) {
      options.remotes = args[++i].toInt(&ok);
      ok = ok && options.remotes > 0 && options.remotes <= 1000;
    } else if (a == QLatin1String("--seconds") && hasValue) {
      seconds = args[++i].toLongLong(&ok);
      ok = ok && seconds > 0 && seconds <= 24 * 3600;
    } else if (a == QLatin1String("--seed") && hasValue) {
      options.seed = args[++i].toUInt(&ok);
    }
    if (!ok) {
      err << "Kullanım: derslik-cli simulate --remotes N --seconds S [--seed K]"
             " (N 1-1000, S 1-86400)\n";
      return 2;
    }
  }
  receiver::ClassroomSimulation sim(options);
  const QList<receiver::SimulatedReport> reports = sim.run(seconds);
  for (const receiver::SimulatedReport& r : reports) {
    out << r.atMs;
    for (char c : r.data) out << ' ' << quint8(c);
    out << '\n';
  }
  return 0;
}

}  // namespace

QList<CliCommand> receiverCommands() {
  return {
      {QStringLiteral("decode"),
       QStringLiteral("decode B1 ... B16              alıcı raporunun 1.-16. baytlarını çözer"),
       decode},
      {QStringLiteral("simulate"),
       QStringLiteral("simulate --remotes N --seconds S [--seed K]   sanal sınıfın raporları "
                      "(satır başına: milisaniye ve 16 bayt)"),
       simulate},
  };
}

}  // namespace cli
