#pragma once

#include <QString>
#include <QStringList>

#include "Result.h"
#include "school/Student.h"

namespace store {
class Store;
}

namespace school {

// Rules every way of adding or changing a student shares (the form, the command
// line, the list import), so none of them lets through what another refuses.

// The longest value a student field may hold: the limit the list import puts
// on every cell.
inline constexpr int kMaxStudentFieldLength = 255;

struct FieldProblem {
  QString message;                          // empty: no problem
  StudentField field = StudentField::None;  // the field to correct
};

// The first field longer than kMaxStudentFieldLength or holding a control
// character (see hasControlCharacter).
FieldProblem badField(const Student& student);

// True when `value` holds a tab, a line break or another control character: a
// student's value is one line of text, and such a character would split the
// rows and columns of every list written from it.
bool hasControlCharacter(const QString& value);
// "<caption> sekme, satır sonu ya da başka bir denetim karakteri içeremez."
QString controlCharacterMessage(const QString& caption);

// The active student other than `exceptKayitNo` who has school number
// `numarasi` in class `sinifi`: a class never has one number twice. Empty when none.
Result<QString> studentWithNumber(const store::Store& store, const QString& numarasi,
                                  const QString& sinifi, const QString& exceptKayitNo = {});
QString sameNumberMessage(const store::Store& store, const QString& numarasi, const QString& sinifi,
                          const QString& kayitNo);

// The level of `levels` that the grade of class `sinifi` names ("7-A" -> "7. SINIF"),
// so a class's students do not land in another grade. Empty when none does.
QString levelOfClass(const QString& sinifi, const QStringList& levels);
// The level a new student is stored with, the same for a student added by hand,
// by the command line and by an import: the level given, else the one its class's
// grade names (levelOfClass). Empty when neither gives one: the caller refuses.
QString studentLevel(const QString& given, const QString& sinifi, const QStringList& levels);

}  // namespace school
