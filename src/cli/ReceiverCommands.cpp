#include "CliCommand.h"

#include "receiver/ClassroomSimulation.h"
#include "receiver/ReportDecoder.h"

namespace cli {

namespace {

const Syntax& decodeSyntax() {
  static const Syntax s(QStringLiteral("decode B1 ... B16   (raporun 1.-16. baytları, 16 sayı)"),
                        receiver::kReportDataSize, receiver::kReportDataSize);
  return s;
}
const Syntax& simulateSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("simulate --remotes N --seconds S [--seed K]  (N 1-1000, S 1-86400)"))
          .value(QStringLiteral("remotes"))
          .value(QStringLiteral("seconds"))
          .value(QStringLiteral("seed"));
  return s;
}

int decode(store::Store&, const QStringList& words, QTextStream& out, QTextStream& err) {
  int code = 0;
  const std::optional<Args> parsed = parseOrComplain(words, decodeSyntax(), err, code);
  if (!parsed) return code;
  const QStringList& args = parsed->positional;
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

int simulate(store::Store&, const QStringList& words, QTextStream& out, QTextStream& err) {
  int code = 0;
  const std::optional<Args> a = parseOrComplain(words, simulateSyntax(), err, code);
  if (!a) return code;
  receiver::SimulationOptions options;
  qint64 seconds = 60;
  bool ok = true;
  if (a->has(QStringLiteral("remotes"))) {
    options.remotes = a->value(QStringLiteral("remotes")).toInt(&ok);
    ok = ok && options.remotes > 0 && options.remotes <= 1000;
  }
  if (ok && a->has(QStringLiteral("seconds"))) {
    seconds = a->value(QStringLiteral("seconds")).toLongLong(&ok);
    ok = ok && seconds > 0 && seconds <= 24 * 3600;
  }
  if (ok && a->has(QStringLiteral("seed")))
    options.seed = a->value(QStringLiteral("seed")).toUInt(&ok);
  if (!ok) return usageError(err, QStringLiteral("Geçersiz sayı."), simulateSyntax());
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
