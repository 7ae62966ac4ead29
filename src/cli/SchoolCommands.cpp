// derslik-cli verbs of the school area: students, remotes, pairing, rollover,
// running the same core code as the screens.
#include <QDateTime>
#include <QSqlQuery>

#include "CliCommand.h"
#include "school/DemoSchool.h"
#include "school/Pairing.h"
#include "school/Remotes.h"
#include "school/Rollover.h"
#include "school/StudentForm.h"
#include "school/StudentImport.h"
#include "school/Students.h"
#include "store/Store.h"

namespace cli {

namespace {

// Options "--name value" and flags "--name"; everything else is positional.
struct Args {
  QStringList positional;
  QHash<QString, QString> options;
  QStringList flags;
  bool has(const QString& flag) const { return flags.contains(flag); }
  QString value(const QString& name) const { return options.value(name); }
};

Args parse(const QStringList& args, const QStringList& flagNames) {
  Args a;
  for (int i = 0; i < args.size(); ++i) {
    const QString& s = args.at(i);
    if (s.startsWith(QStringLiteral("--"))) {
      const QString name = s.mid(2);
      if (flagNames.contains(name) || i + 1 >= args.size())
        a.flags << name;
      else
        a.options.insert(name, args.at(++i));
    } else {
      a.positional << s;
    }
  }
  return a;
}

int studentsAdd(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  if (a.positional.size() < 4) {
    err << "Kullanım: derslik-cli students add ADI SOYADI NUMARASI [--class SINIF] [--level "
           "SEVIYE] [--tc NO] "
           "[--yes]\n";
    return 2;
  }
  school::StudentForm form(store);
  if (Status begun = form.beginNew(); !begun) {
    err << begun.error() << '\n';
    return 1;
  }
  school::Student& s = form.student();
  s.adi = a.positional.at(1);
  s.soyadi = a.positional.at(2);
  s.numarasi = a.positional.at(3);
  s.sinifi = a.value(QStringLiteral("class"));
  s.seviye = a.value(QStringLiteral("level"));
  s.tcKimlik = a.value(QStringLiteral("tc"));
  (void)form.fieldsChanged();
  CliMessages messages(err, err, a.has(QStringLiteral("yes")));
  const Status saved = form.save(messages);
  if (!saved) {
    if (!saved.error().isEmpty()) err << saved.error() << '\n';
    return 1;
  }
  out << "Öğrenci eklendi, kayıt no: " << form.student().kayitNo << '\n';
  return 0;
}

int studentsList(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  const QString sinifi = a.value(QStringLiteral("class"));
  const store::Query q = school::Students::activeListQuery();
  Result<QSqlQuery> rows = store.exec(q.sql, q.params);
  if (!rows) {
    err << rows.error() << '\n';
    return 1;
  }
  out << "KAYITNO\tNUMARASI\tADI\tSOYADI\tSINIFI\tSEVIYE\tTCKIMLIK\n";
  while (rows.value().next()) {
    const QSqlQuery& r = rows.value();
    if (!sinifi.isEmpty() && r.value(QStringLiteral("SINIFI")).toString() != sinifi) continue;
    QStringList cells;
    for (const char* c : {"KAYITNO", "NUMARASI", "ADI", "SOYADI", "SINIFI", "SEVIYE", "TCKIMLIK"})
      cells << r.value(QString::fromLatin1(c)).toString();
    out << cells.join(QLatin1Char('\t')) << '\n';
  }
  return 0;
}

int studentsImport(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  if (a.positional.size() < 2) {
    err << "Kullanım: derslik-cli students import DOSYA [--sheet SAYFA] [--map "
           "\"3=ADI,4=SOYADI,...\"] "
           "[--level SEVIYE]\n";
    return 2;
  }
  school::StudentImport import(store);
  if (Status s = import.openFile(a.positional.at(1)); !s) {
    err << s.error() << '\n';
    return 1;
  }
  if (a.options.contains(QStringLiteral("sheet"))) {
    const QString sheet = a.value(QStringLiteral("sheet"));
    int index = import.sheetNames().indexOf(sheet);
    bool isNumber = false;
    if (index < 0) index = sheet.toInt(&isNumber) - 1;
    if (Status s = import.chooseSheet(index); !s) {
      err << "Sayfa bulunamadı: " << sheet
          << " (sayfalar: " << import.sheetNames().join(QStringLiteral(", ")) << ")\n";
      return 1;
    }
  }
  if (a.options.contains(QStringLiteral("map"))) {
    const QStringList pairs =
        a.value(QStringLiteral("map")).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& p : pairs) {
      const QStringList parts = p.split(QLatin1Char('='));
      bool ok = false;
      const int column = parts.value(0).trimmed().toInt(&ok);
      if (parts.size() != 2 || !ok) {
        err << "Geçersiz eşleşme: " << p << " (örnek: 3=ADI)\n";
        return 2;
      }
      if (Status s = import.addPair(column - 1, parts.at(1).trimmed()); !s) {
        err << s.error() << '\n';
        return 2;
      }
    }
  } else if (import.isNationalList()) {
    if (Status s = import.applyNationalPreset(); !s) {
      err << s.error() << '\n';
      return 1;
    }
  }
  for (const QString& t : import.pairTexts()) out << t << '\n';
  QString level = a.value(QStringLiteral("level"));
  if (level.isEmpty()) level = import.levels().value(0);
  auto report = import.run(level, {}, [&](const QString& text) { out << text << '\n'; });
  if (!report) {
    err << report.error() << '\n';
    return 1;
  }
  out << report->added << " öğrenci eklendi, " << report->updated << " öğrenci güncellendi.\n";
  if (!report->skippedRows.isEmpty()) {
    QStringList rows;
    for (int r : report->skippedRows) rows << QString::number(r);
    out << "Adı boş olduğu için atlanan satırlar: " << rows.join(QStringLiteral(", ")) << '\n';
  }
  out << "Sonuç: " << report->resultPath << '\n';
  return 0;
}

int students(store::Store& store, const QStringList& args, QTextStream& out, QTextStream& err) {
  const Args a = parse(args, {QStringLiteral("yes")});
  const QString what = a.positional.value(0);
  if (what != QStringLiteral("add") && what != QStringLiteral("list") &&
      what != QStringLiteral("import")) {
    err << "Kullanım: derslik-cli students add|list|import ...\n";
    return 2;
  }
  if (!openStore(store, err)) return 1;
  if (what == QStringLiteral("add")) return studentsAdd(store, a, out, err);
  if (what == QStringLiteral("list")) return studentsList(store, a, out, err);
  return studentsImport(store, a, out, err);
}

int remotes(store::Store& store, const QStringList& args, QTextStream& out, QTextStream& err) {
  const Args a = parse(args, {QStringLiteral("teacher")});
  if (a.positional.value(0) != QStringLiteral("add") || a.positional.size() != 2) {
    err << "Kullanım: derslik-cli remotes add ADRES [--teacher]\n";
    return 2;
  }
  const QString address = a.positional.at(1);
  if (!school::remotes::validAddress(address)) {
    err << "Geçersiz kumanda adresi: " << address << " (örnek: 12-201)\n";
    return 2;
  }
  if (!openStore(store, err)) return 1;
  const Status s = school::Pairing(store).registerRemote(address, a.has(QStringLiteral("teacher")));
  if (!s) {
    err << s.error() << '\n';
    return 1;
  }
  out << "Kumanda kaydedildi: " << address
      << (a.has(QStringLiteral("teacher")) ? " (öğretmen)" : "") << '\n';
  return 0;
}

int pair(store::Store& store, const QStringList& args, QTextStream& out, QTextStream& err) {
  const Args a = parse(args, {});
  const QString sinifi = a.value(QStringLiteral("class"));
  if (a.positional.value(0) != QStringLiteral("auto") || sinifi.isEmpty()) {
    err << "Kullanım: derslik-cli pair auto --class SINIF [--remotes 12-201,12-202,...]\n";
    return 2;
  }
  if (!openStore(store, err)) return 1;
  QStringList addresses =
      a.value(QStringLiteral("remotes")).split(QLatin1Char(','), Qt::SkipEmptyParts);
  if (addresses.isEmpty()) {
    const store::Query q = school::Pairing::studentRemotesQuery(sinifi);
    const Result<QStringList> all = store.column(q.sql, q.params);
    if (!all) {
      err << all.error() << '\n';
      return 1;
    }
    addresses = all.value();
  }
  const Result<int> made = school::Pairing(store).autoPair(addresses, sinifi);
  if (!made) {
    err << made.error() << '\n';
    return 1;
  }
  out << made.value() << " eşleştirme yapıldı (" << sinifi << ").\n";
  return 0;
}

int rollover(store::Store& store, const QStringList& args, QTextStream& out, QTextStream& err) {
  const Args a = parse(args, {QStringLiteral("yes")});
  QDateTime when = QDateTime::currentDateTime();
  if (a.options.contains(QStringLiteral("date"))) {
    const QDate d =
        QDate::fromString(a.value(QStringLiteral("date")), QStringLiteral("dd.MM.yyyy"));
    if (!d.isValid()) {
      err << "Geçersiz tarih: " << a.value(QStringLiteral("date")) << " (gg.aa.yyyy)\n";
      return 2;
    }
    when = QDateTime(d, QTime::currentTime());
  }
  const bool yes = a.has(QStringLiteral("yes"));
  if (!openStore(store, err)) return 1;
  CliMessages messages(out, err, yes);
  school::Rollover::Hooks hooks;
  hooks.now = [when] { return when; };
  hooks.messages = &messages;
  hooks.progress = [&](const QString& t) { out << t << '\n'; };
  const school::Rollover::Report r = school::Rollover::SinifAtlatmaUygula(store, hooks);
  switch (r.outcome) {
    case school::Rollover::Outcome::Done:
      out << r.message << "\nEğitim öğretim yılı: " << r.label << ", yedek: Yedek/" << r.backupStamp
          << "-*\n";
      return 0;
    case school::Rollover::Outcome::NotAllowed:
      err << "Üç tuşlu kumanda kullanımında sınıf atlatma yapılmaz.\n";
      return 1;
    case school::Rollover::Outcome::Failed:
      err << r.message << '\n';
      return 1;
    default:
      out << "Sınıf atlatma yapılmadı (" << r.label << " kaydedildi).\n";
      return yes ? 1 : 0;
  }
}

int demo(store::Store& store, const QStringList&, QTextStream& out, QTextStream& err) {
  if (!openStore(store, err)) return 1;
  const Status s = school::createDemoSchool(store);
  if (!s) {
    err << s.error() << '\n';
    return 1;
  }
  out << "Örnek okul hazır.\n";
  return 0;
}

}  // namespace

QList<CliCommand> schoolCommands() {
  return {
      {QStringLiteral("students"),
       QStringLiteral("students add ADI SOYADI NUMARASI [--class C] [--level L] [--tc NO] | list "
                      "[--class C] | "
                      "import DOSYA [--sheet S] [--map \"3=ADI,4=SOYADI,...\"] [--level L]"),
       students},
      {QStringLiteral("remotes"), QStringLiteral("remotes add ADRES [--teacher]"), remotes},
      {QStringLiteral("pair"), QStringLiteral("pair auto --class SINIF [--remotes A,B,...]"), pair},
      {QStringLiteral("rollover"), QStringLiteral("rollover [--date gg.aa.yyyy] [--yes]"),
       rollover},
      {QStringLiteral("demo"),
       QStringLiteral("demo  (örnek okul: 3 sınıf, kumandalar, eşleştirmeler)"), demo},
  };
}

}  // namespace cli
