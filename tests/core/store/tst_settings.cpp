// Institution data, parameters, saved screen choices as typed values, per-user
// settings and the log.
#include <QTemporaryDir>
#include <QtTest>

#include "TempDataFolder.h"
#include "TestSchool.h"

#include <memory>

#include "delivery/RunSettings.h"
#include "store/Institution.h"
#include "store/Parameters.h"
#include "store/SavedControls.h"
#include "store/Store.h"

class TestSettings : public QObject {
  Q_OBJECT

  store::Store& db() { return m_dir->store(); }
  QStringList rows(const QString& control) {
    return db()
        .column(QStringLiteral("SELECT INDEKS || '=' || DEGER FROM TABLEAYAR WHERE "
                               "FORMADI='frmTestUygula' AND KONTROLADI=? ORDER BY INDEKS"),
                {control})
        .value();
  }

 private slots:
  void init() { QVERIFY(TempDataFolder::renew(m_dir)); }
  void cleanup() { m_dir.reset(); }

  void rolloverDueNeedsStudentsAndNoRecordedLabel() {
    QVERIFY(!store::rolloverDue(db(), QStringLiteral("2026-2027")).value());  // no students yet
    TestSchool(db()).student(QStringLiteral("Ali"), QStringLiteral("5-A"));
    QVERIFY(store::rolloverDue(db(), QStringLiteral("2026-2027")).value());
    QVERIFY(store::recordSchoolYear(db(), QStringLiteral("2026-2027")).ok());
    QVERIFY(!store::rolloverDue(db(), QStringLiteral("2026-2027")).value());
    QVERIFY(store::rolloverDue(db(), QStringLiteral("2027-2028")).value());
  }

  void institutionRowAndOptions() {
    QCOMPARE(store::ensureInstitutionRow(db()).value(), true);
    QCOMPARE(db().scalar(QStringLiteral("SELECT OKULADI FROM TABLEOKUL"))->toString(),
             QStringLiteral(" "));
    QCOMPARE(store::ensureInstitutionRow(db()).value(), false);  // exactly one row
    QVERIFY(!db().institution().advancedMode);
    using Option = store::Institution::Option;
    QVERIFY(store::setOption(db(), Option::AdvancedMode, true).ok());
    QVERIFY(store::setOption(db(), Option::ThreeButton, true).ok());
    QVERIFY(db().institution().advancedMode);
    QCOMPARE(db().institution().threeButtonSetting, QStringLiteral("1"));
    QVERIFY(store::setOption(db(), Option::AdvancedMode, false).ok());
    QVERIFY(!db().institution().option(Option::AdvancedMode));
    QVERIFY(store::saveInstitution(db(), QStringLiteral("123456"), QStringLiteral("Gazi'nin Okulu"))
                .ok());
    QCOMPARE(db().institution().name, QStringLiteral("Gazi'nin Okulu"));
    QCOMPARE(db().scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOKUL"))->toInt(), 1);
    // A number above 0 switches an option on, whatever its text: the old "2" and " 1".
    QVERIFY(db().run(QStringLiteral("UPDATE TABLEOKUL SET ANAOKULU=' 2', GELISMISMOD='0'")).ok());
    QVERIFY(db().reloadInstitution().ok());
    QVERIFY(db().institution().kindergarten);
    QVERIFY(!db().institution().advancedMode);
  }

  void parameters() {
    QCOMPARE(store::ParametreAl(db(), QStringLiteral("Dugme3"), QStringLiteral("1")).value(),
             QStringLiteral("1"));
    QVERIFY(store::ParametreKaydet(db(), QStringLiteral("Dugme3"), QStringLiteral("0")).ok());
    QVERIFY(store::ParametreKaydet(db(), QStringLiteral("Dugme3"), QString()).ok());
    QCOMPARE(store::ParametreAl(db(), QStringLiteral("Dugme3"), QStringLiteral("1")).value(),
             QString());
    QCOMPARE(db().scalar(QStringLiteral(
                             "SELECT COUNT(*) FROM TABLEPARAMETRE WHERE PARAMETREADI='Dugme3'"))
                 ->toInt(),
             1);
  }

  // The stored rows keep their layout: one row per control, replaced on save,
  // rows the value does not know kept as they were.
  void savedControlsKeepTheirLayout() {
    QVERIFY(db().run(QStringLiteral("INSERT INTO TABLEAYAR (FORMADI,KONTROLADI,INDEKS,DEGER,"
                                    "TABINDEX) VALUES ('frmX','cmbGrup','-','9-A grubu','3')"))
                .ok());
    store::SavedControls c = store::SavedControls::load(db().db(), QStringLiteral("frmX")).value();
    c.setPosition(QStringLiteral("cmbA"), 4, 10);
    c.selectOption(QStringLiteral("optB"), 1, 3, 20);
    c.setChecked(QStringLiteral("chkC"), true, 30);
    QVERIFY(c.save(db().db()).ok());
    QVERIFY(c.save(db().db()).ok());  // saved twice: still one row per control
    QCOMPARE(
        db().scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEAYAR WHERE FORMADI='frmX'"))->toInt(),
        6);
    const store::SavedControls back =
        store::SavedControls::load(db().db(), QStringLiteral("frmX")).value();
    QCOMPARE(back.position(QStringLiteral("cmbA"), -1), 4);
    QCOMPARE(back.selectedOption(QStringLiteral("optB"), -1), 1);
    QVERIFY(back.checked(QStringLiteral("chkC"), false));
    QCOMPARE(back.text(QStringLiteral("cmbGrup")), QStringLiteral("9-A grubu"));
    // A value that does not read is its default.
    QVERIFY(
        db().run(QStringLiteral("UPDATE TABLEAYAR SET DEGER='x' WHERE KONTROLADI='cmbA'")).ok());
    QCOMPARE(store::SavedControls::load(db().db(), QStringLiteral("frmX"))
                 ->position(QStringLiteral("cmbA"), 7),
             7);
  }

  // The run options: factory values without a saved row, the stored indices and
  // texts in the old layout, and the rules of the three-button setting.
  void runSettingsAsValues() {
    using delivery::RunSettings;
    const RunSettings fresh = RunSettings::load(db().db()).value();
    QCOMPARE(fresh, RunSettings{});
    QCOMPARE(fresh.duration, RunSettings::Duration::Fixed);
    QCOMPARE(fresh.fixedSeconds, 90);
    QCOMPARE(fresh.afterQuestion, RunSettings::QuestionReport::QuestionStatistics);

    RunSettings mine;
    mine.duration = RunSettings::Duration::PerQuestion;
    mine.fixedSeconds = 45;
    mine.penalty = RunSettings::Penalty::FourWrongs;
    mine.afterQuestion = RunSettings::QuestionReport::StudentAnswers;
    mine.majorityIsCorrect = true;
    QVERIFY(mine.save(db().db()).ok());
    QCOMPARE(RunSettings::load(db().db()).value(), mine);
    // What the old screens stored and read: option arrays by index, list positions.
    QCOMPARE(rows(QStringLiteral("optSure")),
             (QStringList{QStringLiteral("0=True"), QStringLiteral("1=False"),
                          QStringLiteral("2=False")}));
    QCOMPARE(rows(QStringLiteral("cmbSure")), QStringList{QStringLiteral("-=9")});
    QCOMPARE(rows(QStringLiteral("optGoturu")).value(2), QStringLiteral("2=True"));
    QCOMPARE(rows(QStringLiteral("cmbSoruRaporuGoster")), QStringList{QStringLiteral("-=4")});
    QCOMPARE(rows(QStringLiteral("chkCogunlukCevabi")), QStringList{QStringLiteral("-=1")});

    // The factory rows of an old installation read as the same defaults.
    QVERIFY(db().run(QStringLiteral("DELETE FROM TABLEAYAR")).ok());
    for (const char* row :
         {"'cmbSoruRaporuGoster','-','2','48'", "'cmbSure','-','18','19'",
          "'optSure','2','True','22'", "'optSure','0','False','20'", "'optSure','1','False','21'"})
      QVERIFY(db().run(QStringLiteral("INSERT INTO TABLEAYAR (FORMADI,KONTROLADI,INDEKS,DEGER,"
                                      "TABINDEX) VALUES ('frmTestUygula',%1)")
                           .arg(QString::fromLatin1(row)))
                  .ok());
    QCOMPARE(RunSettings::load(db().db()).value(), RunSettings{});

    store::Institution threeButtons;
    threeButtons.threeButtonSetting = QStringLiteral("1");
    QCOMPARE(mine.effective(store::Institution{}), mine);
    const RunSettings forced = mine.effective(threeButtons);
    QCOMPARE(forced.duration, RunSettings::Duration::Fixed);
    QCOMPARE(forced.fixedSeconds, 90);
    QVERIFY(forced.goOnWhenAllAnswered);
    QCOMPARE(forced.penalty, RunSettings::Penalty::FourWrongs);  // untouched

    QCOMPARE(RunSettings::secondsAt(0), 0);  // "Süresiz"
    QCOMPARE(RunSettings::secondsAt(120), 600);
    QCOMPARE(RunSettings::positionOf(601), 120);

    // "Süresiz" chosen in the fixed list comes back as "Süresiz", not as 5 or 90 seconds.
    RunSettings untimed;
    untimed.duration = RunSettings::Duration::Fixed;
    untimed.fixedSeconds = 0;
    QVERIFY(untimed.save(db().db()).ok());
    QCOMPARE(rows(QStringLiteral("cmbSure")), QStringList{QStringLiteral("-=0")});
    QCOMPARE(RunSettings::load(db().db()).value().fixedSeconds, 0);
  }

  void userSettingsDefaults() {
    QVERIFY(
        store::UserSettings::getBool(QStringLiteral("USBDurum"), QStringLiteral("USBDurum"), true));
    store::UserSettings::setBool(QStringLiteral("USBDurum"), QStringLiteral("USBDurum"), false);
    QCOMPARE(store::UserSettings::get(QStringLiteral("USBDurum"), QStringLiteral("USBDurum")),
             QStringLiteral("False"));
    QVERIFY(!store::UserSettings::getBool(QStringLiteral("USBDurum"), QStringLiteral("USBDurum"),
                                          true));
  }

  // What belongs to a school lives in its data folder: a new folder sees none of
  // another's values. An older installation kept them in the user's file: they
  // move, once, into the first folder that already is a school; the school's
  // name never moves (it is in its database); the person's values stay.
  void schoolValuesLiveInTheirDataFolder() {
    using store::UserSettings;
    const QString course = QStringLiteral("MATEMATİK");
    UserSettings::set(QStringLiteral("SerbestAyar"), QStringLiteral("Ders"), course);
    UserSettings::set(QStringLiteral("KurumBilgileri"), QStringLiteral("OkulAdi"),
                      QStringLiteral("Eski Okul"));
    UserSettings::set(QStringLiteral("Klasorler"), QStringLiteral("Soru"), QStringLiteral("/ev"));
    QTemporaryDir fresh;
    QTemporaryDir school;
    UserSettings::useDataFolder(fresh.path(), false);
    QCOMPARE(UserSettings::get(QStringLiteral("SerbestAyar"), QStringLiteral("Ders")), QString());
    UserSettings::useDataFolder(school.path(), true);
    QCOMPARE(UserSettings::get(QStringLiteral("SerbestAyar"), QStringLiteral("Ders")), course);
    QCOMPARE(UserSettings::get(QStringLiteral("KurumBilgileri"), QStringLiteral("OkulAdi")),
             QString());
    QCOMPARE(UserSettings::get(QStringLiteral("Klasorler"), QStringLiteral("Soru")),
             QStringLiteral("/ev"));
    UserSettings::set(QStringLiteral("SerbestAyar"), QStringLiteral("Ders"),
                      QStringLiteral("TÜRKÇE"));
    QVERIFY(QFile::exists(school.filePath(QStringLiteral("derslik.ini"))));
    // Moved, not copied: the new folder still gets nothing.
    UserSettings::useDataFolder(fresh.path(), true);
    QCOMPARE(UserSettings::get(QStringLiteral("SerbestAyar"), QStringLiteral("Ders")), QString());
    UserSettings::useDataFolder(school.path(), true);
    QCOMPARE(UserSettings::get(QStringLiteral("SerbestAyar"), QStringLiteral("Ders")),
             QStringLiteral("TÜRKÇE"));
    QCOMPARE(UserSettings::get(QStringLiteral("Klasorler"), QStringLiteral("Soru")),
             QStringLiteral("/ev"));
  }

  void logOnlyWhileFileExists() {
    const QString log = m_dir->filePath(QStringLiteral("Log.txt"));
    db().log(QStringLiteral("kayıt yok"));
    QVERIFY(!QFile::exists(log));
    QFile f(log);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    db().log(QStringLiteral("mdiform_load"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString line = QString::fromUtf8(f.readAll());
    f.close();
    QVERIFY2(QRegularExpression(
                 QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d: mdiform_load\\n$"))
                 .match(line)
                 .hasMatch(),
             qPrintable(line));
    QVERIFY(QFile::remove(log));
    db().log(QStringLiteral("yine yok"));
    QVERIFY(!QFile::exists(log));
  }

 private:
  std::unique_ptr<TempDataFolder> m_dir;
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
