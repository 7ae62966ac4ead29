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

// Program settings: (section, key) -> text. What belongs to the person (window
// places, last folders, how they like their reports) is kept in the user's
// settings file (QSettings, application "derslik"); what belongs to a school
// (its classes, curriculum choices, declined runs) in `derslik.ini` of its data
// folder, so that two data folders never see each other's. A missing key yields
// the default.
class UserSettings {
 public:
  static QString get(const QString& section, const QString& key, const QString& fallback = {});
  static void set(const QString& section, const QString& key, const QString& value);
  // "True"/"False" texts, as the settings were always written.
  static bool getBool(const QString& section, const QString& key, bool fallback);
  static void setBool(const QString& section, const QString& key, bool value);
  // Tests point the store at a file of their own.
  static void setFile(const QString& iniPath);

  // Whether a section is the school's rather than the person's.
  static bool isSchoolSection(const QString& section);
  // The data folder whose school's sections are read and written from now on.
  // An older installation kept them in the user's file: the first data folder
  // opened that already had a school (`hadSchool`) takes them over, once, and
  // they leave the user's file; a new data folder starts with none of them.
  // Until it is called every section is read from the user's file.
  static void useDataFolder(const QString& folder, bool hadSchool);
  static QString schoolFile();  // empty until useDataFolder()
};

}  // namespace store
