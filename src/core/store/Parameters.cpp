#include "store/Parameters.h"

#include <QDir>
#include <QSettings>
#include <QStringList>

#include <memory>

#include "store/Sql.h"
#include "store/Store.h"

namespace store {

Status ParametreKaydet(Store& store, const QString& name, const QString& value) {
  Transaction tx(store);
  if (Status s =
          store.run(QStringLiteral("DELETE FROM TABLEPARAMETRE WHERE PARAMETREADI=?"), {name});
      !s)
    return s;
  if (Status s =
          store.run(QStringLiteral("INSERT INTO TABLEPARAMETRE (PARAMETREADI,PARAMETREDEGERI,"
                                   "PARAMETREACIKLAMA) VALUES (?,?,'')"),
                    {name, value});
      !s)
    return s;
  return tx.commit();
}

Result<QString> ParametreAl(const Store& store, const QString& name, const QString& fallback) {
  Result<QSqlQuery> q = store.exec(
      QStringLiteral("SELECT PARAMETREDEGERI FROM TABLEPARAMETRE WHERE PARAMETREADI=? LIMIT 1"),
      {name});
  if (!q) return Result<QString>::failure(q.error());
  if (!q.value().next()) return fallback;
  return q.value().value(0).toString();
}

namespace {
QString& settingsFile() {
  static QString file;
  return file;
}

QString& dataFolderFile() {
  static QString file;
  return file;
}

// The school's values. The name of the school itself is in TABLEOKUL only: the
// old copy in "KurumBilgileri" is dropped, never moved.
const QStringList& schoolSections() {
  static const QStringList sections = {
      QStringLiteral("KurumBilgileri"), QStringLiteral("Test Uygulama"),
      QStringLiteral("SerbestAyar"),    QStringLiteral("Oyun"),
      QStringLiteral("RaporlarMenu"),   QStringLiteral("DersUygula"),
      QStringLiteral("SoruHazirlama")};
  return sections;
}

std::unique_ptr<QSettings> openUserSettings() {
  if (!settingsFile().isEmpty())
    return std::make_unique<QSettings>(settingsFile(), QSettings::IniFormat);
  return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                     QStringLiteral("derslik"), QStringLiteral("derslik"));
}

std::unique_ptr<QSettings> openSettings(const QString& section) {
  if (UserSettings::isSchoolSection(section) && !dataFolderFile().isEmpty())
    return std::make_unique<QSettings>(dataFolderFile(), QSettings::IniFormat);
  return openUserSettings();
}
}  // namespace

bool UserSettings::isSchoolSection(const QString& section) {
  return schoolSections().contains(section);
}

QString UserSettings::schoolFile() { return dataFolderFile(); }

void UserSettings::useDataFolder(const QString& folder, bool hadSchool) {
  dataFolderFile() = QDir(folder).filePath(QStringLiteral("derslik.ini"));
  auto user = openUserSettings();
  QStringList held;
  for (const QString& section : schoolSections())
    if (user->childGroups().contains(section)) held << section;
  // A new data folder leaves them for the school they came from.
  if (held.isEmpty() || !hadSchool) return;
  {
    QSettings school(dataFolderFile(), QSettings::IniFormat);
    for (const QString& section : held) {
      if (section == QLatin1String("KurumBilgileri")) continue;
      user->beginGroup(section);
      const QStringList keys = user->childKeys();
      for (const QString& key : keys) {
        const QString full = section + QLatin1Char('/') + key;
        if (!school.contains(full)) school.setValue(full, user->value(key));
      }
      user->endGroup();
    }
    school.sync();
    if (school.status() != QSettings::NoError) return;  // kept where they were
  }
  for (const QString& section : held) user->remove(section);
}

QString UserSettings::get(const QString& section, const QString& key, const QString& fallback) {
  auto s = openSettings(section);
  s->beginGroup(section);
  return s->value(key, fallback).toString();
}

void UserSettings::set(const QString& section, const QString& key, const QString& value) {
  auto s = openSettings(section);
  s->beginGroup(section);
  s->setValue(key, value);
}

bool UserSettings::getBool(const QString& section, const QString& key, bool fallback) {
  const QString v = get(section, key, fallback ? QStringLiteral("True") : QStringLiteral("False"));
  return v.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0 || v == QStringLiteral("1");
}

void UserSettings::setBool(const QString& section, const QString& key, bool value) {
  set(section, key, value ? QStringLiteral("True") : QStringLiteral("False"));
}

void UserSettings::setFile(const QString& iniPath) {
  settingsFile() = iniPath;
  dataFolderFile().clear();  // a test's own file starts with no data folder
}

}  // namespace store
