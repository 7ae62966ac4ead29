// derslik-cli verbs of the school area: students, remotes, pairing, rollover,
// running the same core code as the screens.
#include <QDateTime>
#include <QSqlQuery>

#include "CliCommand.h"
#include "school/DemoSchool.h"
#include "school/Pairing.h"
#include "school/Rollover.h"
#include "school/StudentForm.h"
#include "school/StudentImport.h"
#include "school/Students.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/Sql.h"

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

bool openDatabase(QTextStream& err) {
  const Result<store::CheckReport> report = store::VeritabaniKontrol();
  if (!report) {
    err << "Veritabanı hazırlanamadı: " << report.error() << '\n';
    return false;
  }
  return true;
}

int studentsAdd(const Args& a, QTextStream& out, QTextStream& err) {
  if (a.positional.size() < 4) {
    err << "Kullanım: derslik-cli students add ADI SOYADI NUMARASI [--class SINIF] [--level "
           "SEVIYE] [--tc NO] "
           "[--yes]\n";
    return 2;
  }
  school::StudentForm form;
  form.beginNew();
  school::Student& s = form.student();
  s.adi = a.positional.at(1);
  s.soyadi = a.positional.at(2);
  s.numarasi = a.positional.at(3);
  s.sinifi = a.value(QStringLiteral("class"));
  s.seviye = a.value(QStringLiteral("level"));
  s.tcKimlik = a.value(QStringLiteral("tc"));
  (void)form.fieldsChanged();
  const bool yes = a.has(QStringLiteral("yes"));
  const Status saved = form.save([&](const QString& q) {
    err << q << (yes ? " Evet\n" : " Hayır (onaylamak için --yes)\n");
    return yes;
  });
  if (!saved) {
    if (!saved.error().isEmpty()) err << saved.error() << '\n';
    return 1;
  }
  out << "Öğrenci eklendi, kayıt no: " << form.student().kayitNo << '\n';
  return 0;
}

int studentsList(const Args& a, QTextStream& out, QTextStream& err) {
  const QString sinifi = a.value(QStringLiteral("class"));
  const school::Query q = school::Students::activeListQuery();
  Result<QSqlQuery> rows = store::exec(q.sql, q.params);
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

int studentsImport(const Args& a, QTextStream& out, QTextStream& err) {
  if (a.positional.size() < 2) {
    err << "Kullanım: derslik-cli students import DOSYA [--sheet SAYFA] [--map "
           "\"3=ADI,4=SOYADI,...\"] "
           "[--level SEVIYE] [--class SINIF]\n";
    return 2;
  }
  school::StudentImport import;
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
  // A class given here wins over the one the list's title names.
  if (a.options.contains(QStringLiteral("class")))
    import.setClassName(a.value(QStringLiteral("class")));
  for (const QString& t : import.pairTexts()) out << t << '\n';
  if (!import.className().isEmpty()) out << "Sınıf: " << import.className() << '\n';
  QString level = a.value(QStringLiteral("level"));
  if (level.isEmpty()) level = school::StudentImport::levels().value(0);
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

int students(const QStringList& args, QTextStream& out, QTextStream& err) {
  const Args a = parse(args, {QStringLiteral("yes")});
  const QString what = a.positional.value(0);
  if (what != QStringLiteral("add") && what != QStringLiteral("list") &&
      what != QStringLiteral("import")) {
    err << "Kullanım: derslik-cli students add|list|import ...\n";
    return 2;
  }
  if (!openDatabase(err)) return 1;
  int code = 0;
  if (what == QStringLiteral("add"))
    code = studentsAdd(a, out, err);
  else if (what == QStringLiteral("list"))
    code = studentsList(a, out, err);
  else
    code = studentsImport(a, out, err);
  store::BaglantiKapat();
  return code;
}

int remotes(const QStringList& args, QTextStream& out, QTextStream& err) {
  const Args a = parse(args, {QStringLiteral("teacher")});
  if (a.positional.value(0) != QStringLiteral("add") || a.positional.size() != 2) {
    err << "Kullanım: derslik-cli remotes add ADRES [--teacher]\n";
    return 2;
  }
  const QString address = a.positional.at(1);
  if (!school::Pairing::validAddress(address)) {
    err << "Geçersiz kumanda adresi: " << address << " (örnek: 12-201)\n";
    return 2;
  }
  if (!openDatabase(err)) return 1;
  const Status s = school::Pairing::registerRemote(address, a.has(QStringLiteral("teacher")));
  store::BaglantiKapat();
  if (!s) {
    err << s.error() << '\n';
    return 1;
  }
  out << "Kumanda kaydedildi: " << address
      << (a.has(QStringLiteral("teacher")) ? " (öğretmen)" : "") << '\n';
  return 0;
}

int pair(const QStringList& args, QTextStream& out, QTextStream& err) {
  const Args a = parse(args, {});
  const QString sinifi = a.value(QStringLiteral("class"));
  if (a.positional.value(0) != QStringLiteral("auto") || sinifi.isEmpty()) {
    err << "Kullanım: derslik-cli pair auto --class SINIF [--remotes 12-201,12-202,...]\n";
    return 2;
  }
  if (!openDatabase(err)) return 1;
  QStringList addresses =
      a.value(QStringLiteral("remotes")).split(QLatin1Char(','), Qt::SkipEmptyParts);
  if (addresses.isEmpty()) {
    const school::Query q = school::Pairing::studentRemotesQuery(sinifi);
    addresses = store::column(q.sql, q.params);
  }
  const Result<int> made = school::Pairing::autoPair(addresses, sinifi);
  store::BaglantiKapat();
  if (!made) {
    err << made.error() << '\n';
    return 1;
  }
  out << made.value() << " eşleştirme yapıldı (" << sinifi << ").\n";
  return 0;
}

int rollover(const QStringList& args, QTextStream& out, QTextStream& err) {
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
  if (!openDatabase(err)) return 1;
  school::Rollover::Hooks hooks;
  hooks.now = [when] { return when; };
  hooks.ask = [&](const QString& q) {
    out << q << (yes ? "\n-> Evet\n" : "\n-> Hayır (onaylamak için --yes)\n");
    return yes;
  };
  hooks.progress = [&](const QString& t) { out << t << '\n'; };
  const school::Rollover::Report r = school::runRollover(hooks);
  store::BaglantiKapat();
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

int demo(const QStringList&, QTextStream& out, QTextStream& err) {
  if (!openDatabase(err)) return 1;
  const Status s = school::createDemoSchool();
  store::BaglantiKapat();
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
                      "import DOSYA [--sheet S] [--map \"3=ADI,4=SOYADI,...\"] [--level L] "
                      "[--class C]"),
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
