#include "store/Parameters.h"

#include <QSettings>

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

std::unique_ptr<QSettings> openSettings() {
  if (!settingsFile().isEmpty())
    return std::make_unique<QSettings>(settingsFile(), QSettings::IniFormat);
  return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                     QStringLiteral("derslik"), QStringLiteral("derslik"));
}
}  // namespace

QString UserSettings::get(const QString& section, const QString& key, const QString& fallback) {
  auto s = openSettings();
  s->beginGroup(section);
  return s->value(key, fallback).toString();
}

void UserSettings::set(const QString& section, const QString& key, const QString& value) {
  auto s = openSettings();
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

void UserSettings::setFile(const QString& iniPath) { settingsFile() = iniPath; }

}  // namespace store
