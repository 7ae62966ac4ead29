#pragma once

#include <QString>
#include <QVariant>

#include "Result.h"

namespace store {

class Store;

// Single named values in TABLEPARAMETRE: one row whose PARAMETREADI is the name,
// PARAMETREDEGERI the value and PARAMETREACIKLAMA empty.

// Replaces the value (delete every row of that name, insert one), in one transaction.
Status ParametreKaydet(Store& store, const QString& name, const QString& value);
// The value of the first row of that name (null read as ''), or `fallback` when none.
Result<QString> ParametreAl(const Store& store, const QString& name, const QString& fallback = {});

// Per-user program settings: (section, key) -> text in the user's settings file
// (QSettings, application "derslik"). A missing key yields the default.
class UserSettings {
 public:
  static QString get(const QString& section, const QString& key, const QString& fallback = {});
  static void set(const QString& section, const QString& key, const QString& value);
  // "True"/"False" texts, as the settings were always written.
  static bool getBool(const QString& section, const QString& key, bool fallback);
  static void setBool(const QString& section, const QString& key, bool value);
  // Tests point the store at a file of their own.
  static void setFile(const QString& iniPath);
};

}  // namespace store
