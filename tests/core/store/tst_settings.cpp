// Institution data, parameters, saved control states, per-user settings and the log.
#include <QtTest>

#include "TempDataFolder.h"

#include <memory>

#include "store/DataFolder.h"
#include "store/Database.h"
#include "store/Institution.h"
#include "store/Log.h"
#include "store/Parameters.h"
#include "store/Schema.h"
#include "store/ScreenState.h"
#include "store/Sql.h"

class TestSettings : public QObject {
  Q_OBJECT
 private slots:
  void init() { QVERIFY(TempDataFolder::renew(m_dir)); }
  void cleanup() { store::BaglantiKapat(); }

  void rolloverDueNeedsStudentsAndNoRecordedLabel() {
    QVERIFY(!store::rolloverDue(QStringLiteral("2026-2027")));  // no students yet
    QVERIFY(
        store::run(QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO, ADI) VALUES ('1', 'Ali')"))
            .ok());
    QVERIFY(store::rolloverDue(QStringLiteral("2026-2027")));
    QVERIFY(
        store::setInstitutionValue(QStringLiteral("SINIFATLATMADONEM"), QStringLiteral("2026-2027"))
            .ok());
    QVERIFY(!store::rolloverDue(QStringLiteral("2026-2027")));
    QVERIFY(store::rolloverDue(QStringLiteral("2027-2028")));
  }

  void institutionRowAndOptions() {
    QCOMPARE(store::ensureInstitutionRow().value(), true);
    QCOMPARE(store::scalar(QStringLiteral("SELECT OKULADI FROM TABLEOKUL")).toString(),
             QStringLiteral(" "));
    QCOMPARE(store::ensureInstitutionRow().value(), false);      // exactly one row
    QCOMPARE(store::threeButtonSetting(), QStringLiteral("0"));  // blank reads as "0"
    QVERIFY(!store::institutionOptionOn(QStringLiteral("GELISMISMOD")));
    QVERIFY(store::setInstitutionValue(QStringLiteral("GELISMISMOD"), QStringLiteral("1")).ok());
    QVERIFY(store::setInstitutionValue(QStringLiteral("UCDUGME"), QStringLiteral("1")).ok());
    QVERIFY(store::institutionOptionOn(QStringLiteral("GELISMISMOD")));
    QCOMPARE(store::threeButtonSetting(), QStringLiteral("1"));
    QVERIFY(!store::setInstitutionValue(QStringLiteral("OKULADI=1 --"), QStringLiteral("x")).ok());
    QVERIFY(
        store::saveInstitution(QStringLiteral("123456"), QStringLiteral("Gazi'nin Okulu")).ok());
    QCOMPARE(store::institutionValue(QStringLiteral("OKULADI")), QStringLiteral("Gazi'nin Okulu"));
    QCOMPARE(store::scalar(QStringLiteral("SELECT COUNT(*) FROM TABLEOKUL")).toInt(), 1);
  }

  void parameters() {
    QCOMPARE(store::ParametreAl(QStringLiteral("Dugme3"), QStringLiteral("1")),
             QStringLiteral("1"));
    QVERIFY(store::ParametreKaydet(QStringLiteral("Dugme3"), QStringLiteral("0")).ok());
    QVERIFY(store::ParametreKaydet(QStringLiteral("Dugme3"), QString()).ok());
    QCOMPARE(store::ParametreAl(QStringLiteral("Dugme3"), QStringLiteral("1")), QString());
    QCOMPARE(store::scalar(
                 QStringLiteral("SELECT COUNT(*) FROM TABLEPARAMETRE WHERE PARAMETREADI='Dugme3'"))
                 .toInt(),
             1);
  }

  void screenStateReplacesAndOrdersByTabPosition() {
    const QList<store::ControlState> first = {
        {QStringLiteral("cmbB"), QStringLiteral("-"), QStringLiteral("3"), QStringLiteral("10")},
        {QStringLiteral("cmbA"), QStringLiteral("-"), QStringLiteral("1"), QStringLiteral("9")}};
    QVERIFY(store::saveScreenState(QStringLiteral("frmX"), first).ok());
    QVERIFY(store::saveScreenState(QStringLiteral("frmX"), first).ok());
    const QList<store::ControlState> loaded = store::loadScreenState(QStringLiteral("frmX"));
    QCOMPARE(loaded.size(), 2);                              // saved twice, one row per control
    QCOMPARE(loaded.at(0).control, QStringLiteral("cmbA"));  // 9 before 10: numeric order
  }

  void testRunFactoryRows() {
    QVERIFY(store::ensureTestRunFactoryRows(QStringLiteral("1")).ok());
    QVERIFY(
        store::loadScreenState(QStringLiteral("frmTestUygula")).isEmpty());  // three-button: none
    QVERIFY(store::ensureTestRunFactoryRows(QStringLiteral("0")).ok());
    QVERIFY(store::ensureTestRunFactoryRows(QStringLiteral("0")).ok());
    const QList<store::ControlState> rows = store::loadScreenState(QStringLiteral("frmTestUygula"));
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows.first().control, QStringLiteral("cmbSure"));
    QCOMPARE(rows.first().value, QStringLiteral("18"));
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

  void logOnlyWhileFileExists() {
    const QString log = m_dir->filePath(QStringLiteral("Log.txt"));
    store::LogYaz(QStringLiteral("kayıt yok"));
    QVERIFY(!QFile::exists(log));
    QFile f(log);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    store::LogYaz(QStringLiteral("mdiform_load"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString line = QString::fromUtf8(f.readAll());
    f.close();
    QVERIFY2(QRegularExpression(
                 QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d: mdiform_load\\n$"))
                 .match(line)
                 .hasMatch(),
             qPrintable(line));
    QVERIFY(QFile::remove(log));
    store::LogYaz(QStringLiteral("yine yok"));
    QVERIFY(!QFile::exists(log));
  }

 private:
  std::unique_ptr<TempDataFolder> m_dir;
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
