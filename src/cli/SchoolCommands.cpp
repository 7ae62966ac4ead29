// derslik-cli verbs of the school area: students, remotes, pairing, rollover,
// running the same core code as the screens.
#include <QDateTime>
#include <QSqlQuery>

#include "CliCommand.h"
#include "authoring/DemoBank.h"
#include "cards/CardNumbers.h"
#include "school/DemoSchool.h"
#include "school/Pairing.h"
#include "school/Remotes.h"
#include "school/Rollover.h"
#include "school/StudentForm.h"
#include "school/StudentImport.h"
#include "school/StudentRules.h"
#include "school/Students.h"
#include "store/Store.h"

namespace cli {

namespace {

// Each sub-command's words. Keep one Syntax per sub-command: a new option is
// one more line here and its use in the function below.
const Syntax& studentsAddSyntax() {
  static const Syntax s = Syntax(QStringLiteral("students add ADI SOYADI NUMARASI [--class SINIF] "
                                                "[--level SEVIYE] [--tc NO] [--yes]"),
                                 3, 3)
                              .value(QStringLiteral("class"))
                              .value(QStringLiteral("level"))
                              .value(QStringLiteral("tc"))
                              .flag(QStringLiteral("yes"));
  return s;
}
const Syntax& studentsListSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("students list [--class SINIF]")).value(QStringLiteral("class"));
  return s;
}
const Syntax& studentsImportSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("students import DOSYA [--sheet SAYFA] [--map "
                            "\"3=ADI,4=SOYADI,...\"] [--level SEVIYE] [--class SINIF]"),
             1, 1)
          .value(QStringLiteral("sheet"))
          .value(QStringLiteral("map"))
          .value(QStringLiteral("level"))
          .value(QStringLiteral("class"));
  return s;
}
const Syntax& remotesAddSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("remotes add ADRES [--teacher]"), 1, 1).flag(QStringLiteral("teacher"));
  return s;
}
const Syntax& pairAutoSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("pair auto --class SINIF [--remotes 12-201,12-202,...]"))
          .value(QStringLiteral("class"))
          .value(QStringLiteral("remotes"));
  return s;
}
const Syntax& rolloverSyntax() {
  static const Syntax s =
      Syntax(QStringLiteral("rollover [--date gg.aa.yyyy] [--yes] [--again] [--keep-bank]"))
          .value(QStringLiteral("date"))
          .flag(QStringLiteral("yes"))
          .flag(QStringLiteral("again"))
          .flag(QStringLiteral("keep-bank"));
  return s;
}
const Syntax& demoSyntax() {
  static const Syntax s(QStringLiteral("demo"));
  return s;
}

int studentsAdd(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  school::StudentForm form(store);
  if (Status begun = form.beginNew(); !begun) {
    err << begun.error() << '\n';
    return 1;
  }
  school::Student& s = form.student();
  s.adi = a.positional.at(0);
  s.soyadi = a.positional.at(1);
  s.numarasi = a.positional.at(2);
  s.sinifi = a.value(QStringLiteral("class"));
  // Without --level the student takes the level its class's grade names; a
  // student is never stored without one.
  s.seviye = school::studentLevel(a.value(QStringLiteral("level")), s.sinifi,
                                  school::StudentImport(store).levels());
  s.tcKimlik = a.value(QStringLiteral("tc"));
  (void)form.fieldsChanged();
  CliMessages messages(err, err, a.has(QStringLiteral("yes")));
  const Status saved = form.save(messages);
  if (!saved) {
    if (!saved.error().isEmpty()) err << saved.error() << '\n';
    if (form.focusField() == school::StudentField::Seviye)
      err << "Seviyeyi --level ile veriniz (ör. --level \"5. SINIF\").\n";
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
  const Result<QHash<QString, int>> cardOf = cards::CardNumbers(store).allCards();
  if (!cardOf) {
    err << cardOf.error() << '\n';
    return 1;
  }
  out << "KAYITNO\tNUMARASI\tADI\tSOYADI\tSINIFI\tSEVIYE\tTCKIMLIK\tKART\n";
  while (rows.value().next()) {
    const QSqlQuery& r = rows.value();
    if (!sinifi.isEmpty() && r.value(QStringLiteral("SINIFI")).toString() != sinifi) continue;
    QStringList cells;
    for (const char* c : {"KAYITNO", "NUMARASI", "ADI", "SOYADI", "SINIFI", "SEVIYE", "TCKIMLIK"})
      cells << r.value(QString::fromLatin1(c)).toString();
    const int card = cardOf->value(cells.first(), 0);
    cells << (card > 0 ? QString::number(card) : QString());
    out << tsvLine(cells) << '\n';
  }
  return 0;
}

int studentsImport(store::Store& store, const Args& a, QTextStream& out, QTextStream& err) {
  school::StudentImport import(store);
  if (Status s = import.openFile(a.positional.at(0)); !s) {
    err << s.error() << '\n';
    return 1;
  }
  if (a.has(QStringLiteral("sheet"))) {
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
  if (a.has(QStringLiteral("map"))) {
    import.clearPairs();  // the pairs given replace those a national list gets by itself
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
  if (a.has(QStringLiteral("class"))) import.setClassName(a.value(QStringLiteral("class")));
  for (const QString& t : import.pairTexts()) out << t << '\n';
  if (!import.className().isEmpty()) out << "Sınıf: " << import.className() << '\n';
  // Without --level every student takes the level its class's grade names, as
  // `students add` does.
  auto report = import.run(a.value(QStringLiteral("level")), {},
                           [&](const QString& text) { out << text << '\n'; });
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

int students(store::Store& store, const QStringList& words, QTextStream& out, QTextStream& err) {
  struct Sub {
    const char* name;
    const Syntax& syntax;
    int (*run)(store::Store&, const Args&, QTextStream&, QTextStream&);
  };
  const Sub subs[] = {{"add", studentsAddSyntax(), studentsAdd},
                      {"list", studentsListSyntax(), studentsList},
                      {"import", studentsImportSyntax(), studentsImport}};
  for (const Sub& sub : subs) {
    if (words.value(0) != QLatin1String(sub.name)) continue;
    int code = 0;
    const std::optional<Args> a = parseOrComplain(words.mid(1), sub.syntax, err, code);
    if (!a) return code;
    if (!openDatabase(store, err)) return 1;
    return sub.run(store, *a, out, err);
  }
  return subCommandError(err, words,
                         QStringLiteral("students add|list|import ... (derslik-cli help)"));
}

int remotes(store::Store& store, const QStringList& words, QTextStream& out, QTextStream& err) {
  if (words.value(0) != QStringLiteral("add"))
    return subCommandError(err, words, remotesAddSyntax().usage);
  int code = 0;
  const std::optional<Args> a = parseOrComplain(words.mid(1), remotesAddSyntax(), err, code);
  if (!a) return code;
  const QString address = a->positional.first();
  if (!school::remotes::validAddress(address)) {
    err << "Geçersiz kumanda adresi: " << address << " (örnek: 12-201)\n";
    return 2;
  }
  const bool teacher = a->has(QStringLiteral("teacher"));
  if (!openDatabase(store, err)) return 1;
  const Status s = school::Pairing(store).registerRemote(address, teacher);
  if (!s) {
    err << s.error() << '\n';
    return 1;
  }
  out << "Kumanda kaydedildi: " << address << (teacher ? " (öğretmen)" : "") << '\n';
  return 0;
}

int pair(store::Store& store, const QStringList& words, QTextStream& out, QTextStream& err) {
  if (words.value(0) != QStringLiteral("auto"))
    return subCommandError(err, words, pairAutoSyntax().usage);
  int code = 0;
  const std::optional<Args> a = parseOrComplain(words.mid(1), pairAutoSyntax(), err, code);
  if (!a) return code;
  const QString sinifi = a->value(QStringLiteral("class"));
  if (sinifi.isEmpty())
    return usageError(err, QStringLiteral("--class gerekli."), pairAutoSyntax());
  QStringList addresses;
  for (const QString& address :
       a->value(QStringLiteral("remotes")).split(QLatin1Char(','), Qt::SkipEmptyParts))
    if (!address.trimmed().isEmpty()) addresses << address.trimmed();
  if (a->has(QStringLiteral("remotes")) && addresses.isEmpty())
    return usageError(err, QStringLiteral("--remotes en az bir kumanda adresi bekliyor."),
                      pairAutoSyntax());
  if (!openDatabase(store, err)) return 1;
  const Result<QStringList> classes = school::Students(store).classNames();
  if (!classes) {
    err << classes.error() << '\n';
    return 1;
  }
  if (!classes->contains(sinifi)) {
    err << sinifi << " adında bir sınıf yok.\n";
    return 2;
  }
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

int rollover(store::Store& store, const QStringList& words, QTextStream& out, QTextStream& err) {
  int code = 0;
  const std::optional<Args> a = parseOrComplain(words, rolloverSyntax(), err, code);
  if (!a) return code;
  QDateTime when = QDateTime::currentDateTime();
  if (a->has(QStringLiteral("date"))) {
    const QDate d =
        QDate::fromString(a->value(QStringLiteral("date")), QStringLiteral("dd.MM.yyyy"));
    if (!d.isValid()) {
      err << "Geçersiz tarih: " << a->value(QStringLiteral("date")) << " (gg.aa.yyyy)\n";
      return 2;
    }
    when = QDateTime(d, QTime::currentTime());
  }
  const bool yes = a->has(QStringLiteral("yes"));
  const bool again = a->has(QStringLiteral("again"));
  if (!openDatabase(store, err)) return 1;
  CliMessages messages(out, err, yes);
  school::Rollover::Hooks hooks;
  hooks.now = [when] { return when; };
  hooks.messages = &messages;
  hooks.askAgain = [&](const QString& q) {
    out << q << (again ? "\n-> Evet (--again)\n" : "\n-> Hayır (yeniden yapmak için --again)\n");
    return again;
  };
  hooks.progress = [&](const QString& t) { out << t << '\n'; };
  hooks.keepBank = a->has(QStringLiteral("keep-bank"));
  hooks.askStart = [&](const QString& question, bool& keepBank) {
    out << school::Rollover::keepBankChoice() << ": " << (keepBank ? "Evet" : "Hayır")
        << (keepBank ? " (--keep-bank)\n" : " (kalması için --keep-bank)\n");
    return messages.ask(question, QStringLiteral("Sınıf Atlatma"), Messages::Answer::No);
  };
  const school::Rollover::Report r = school::Rollover::SinifAtlatmaUygula(store, hooks);
  switch (r.outcome) {
    case school::Rollover::Outcome::Done:
      out << r.message << "\nEğitim öğretim yılı: " << r.label << ", yedek: Yedek/" << r.backupStamp
          << "/\n"
          << (r.bankKept ? "Soru bankası ve testler bu tahtada kaldı.\n"
                         : "Soru bankası ve testler yedekte.\n");
      return 0;
    case school::Rollover::Outcome::NotAllowed:
      err << "Üç tuşlu kumanda kullanımında sınıf atlatma yapılmaz.\n";
      return 1;
    case school::Rollover::Outcome::AlreadyDone:
      err << "Sınıf atlatma yapılmadı: bu eğitim-öğretim yılı için yapılmıştı. Yeniden yapmak "
             "için --again ekleyiniz.\n";
      return 1;
    case school::Rollover::Outcome::Failed:
      err << r.message << '\n';
      return 1;
    default:
      out << "Sınıf atlatma yapılmadı (" << r.label << " kaydedildi).\n";
      return yes ? 1 : 0;
  }
}

int demo(store::Store& store, const QStringList& words, QTextStream& out, QTextStream& err) {
  int code = 0;
  if (!parseOrComplain(words, demoSyntax(), err, code)) return code;
  if (!openDatabase(store, err)) return 1;
  // The demo bank goes only into the demo school, never into a real one.
  const bool emptySchool = !school::Students(store).any().valueOr(true);
  const Status s = school::createDemoSchool(store);
  if (!s) {
    err << s.error() << '\n';
    return 1;
  }
  if (Status bank = emptySchool ? authoring::createDemoBank(store) : Status(); !bank) {
    err << bank.error() << '\n';
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
      {QStringLiteral("rollover"),
       QStringLiteral("rollover [--date gg.aa.yyyy] [--yes] [--again] [--keep-bank]"), rollover},
      {QStringLiteral("demo"),
       QStringLiteral(
           "demo  (örnek okul: 3 sınıf, kumandalar, eşleştirmeler, soru bankası, testler)"),
       demo},
  };
}

}  // namespace cli
