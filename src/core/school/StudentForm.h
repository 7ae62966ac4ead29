#pragma once

#include <QString>

#include "Result.h"
#include "school/Student.h"

class Messages;

namespace store {
class Store;
}

namespace school {

// The edit fields of one student on the student section, with the rules of new,
// edit and save. The screen binds its fields to `student()` and calls the
// functions below; it shows saveButtonCaption() on the save button.
class StudentForm {
 public:
  enum class Mode { Idle, Adding, Editing };
  // The field a failed save points at; the screen maps it to its control.
  using Field = StudentField;

  explicit StudentForm(store::Store& store) : m_store(store) {}

  Mode mode() const { return m_mode; }
  // "Ekle" while a new student is entered, "Düzelt" while one is edited.
  QString saveButtonCaption() const;
  const Student& student() const { return m_student; }
  Student& student() { return m_student; }

  // cmdYeniKayit: empty fields, the next registration number, mode "Ekle".
  Status beginNew();
  // A row picked in the student grid.
  Status edit(const QString& kayitNo);
  void cancel();

  // True while a new or picked student has edits (fields or photo) not saved yet.
  bool hasChanges() const;

  // Call after the first name, surname or class changed: in three-button mode a
  // new student's school number is rewritten. True when it changed.
  bool fieldsChanged();

  // cmdKaydet. A failure carries the message; an empty message means the teacher
  // answered "Hayır" and nothing is to be shown. focusField() names the field to
  // focus after a failure and errorIsHata() tells whether the message is shown as
  // "Hata" (else "Uyarı").
  Status save(Messages& messages);
  Field focusField() const { return m_focus; }
  bool errorIsHata() const { return m_hata; }

  // A photo chosen before saving is copied on save; removePhoto() deletes it on save.
  void choosePhoto(const QString& file) {
    m_photo = file;
    m_removePhoto = false;
  }
  void removePhoto() {
    m_photo.clear();
    m_removePhoto = true;
  }
  // What the photo box shows now.
  QString photoToShow() const;

  static QString emptyFieldsMessage() {
    return QStringLiteral("Adı, soyadi ve numarası bilgileri boş geçilemez");
  }
  // Every student has a level: the lists of questions, tests and runs select by it.
  static QString levelMissingMessage() {
    return QStringLiteral("Lütfen öğrencinin seviyesini seçiniz.");
  }

 private:
  store::Store& m_store;
  Mode m_mode = Mode::Idle;
  Student m_student;
  Student m_original;  // as begun or loaded
  QString m_originalClass;
  QString m_photo;
  bool m_removePhoto = false;
  Field m_focus = Field::None;
  bool m_hata = false;
};

}  // namespace school
