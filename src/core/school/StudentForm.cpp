#include "school/StudentForm.h"

#include <optional>

#include "Messages.h"
#include "school/IdentityNumber.h"
#include "school/StudentPhotos.h"
#include "school/StudentRules.h"
#include "school/Students.h"
#include "store/FolderFiles.h"
#include "store/SchoolNumber.h"
#include "store/Store.h"

namespace school {

QString StudentForm::saveButtonCaption() const {
  return m_mode == Mode::Editing ? QStringLiteral("Düzelt") : QStringLiteral("Ekle");
}

Status StudentForm::beginNew() {
  const Result<qint64> next = Students(m_store).nextRegistrationNumber();
  if (!next) return Status::failure(next.error());
  m_student = Student{};
  m_student.kayitNo = QString::number(next.value());
  m_original = m_student;
  m_originalClass.clear();
  m_photo.clear();
  m_removePhoto = false;
  m_mode = Mode::Adding;
  return {};
}

Status StudentForm::edit(const QString& kayitNo) {
  Result<Student> s = Students(m_store).load(kayitNo);
  if (!s) return Status::failure(s.error());
  m_student = s.value();
  m_original = m_student;
  m_originalClass = m_student.sinifi;
  m_photo.clear();
  m_removePhoto = false;
  m_mode = Mode::Editing;
  return {};
}

void StudentForm::cancel() {
  m_mode = Mode::Idle;
  m_student = Student{};
  m_photo.clear();
  m_removePhoto = false;
}

bool StudentForm::hasChanges() const {
  if (m_mode == Mode::Idle) return false;
  return !(m_student == m_original) || !m_photo.isEmpty() || m_removePhoto;
}

bool StudentForm::fieldsChanged() {
  const store::Institution& school = m_store.institution();
  if (m_mode != Mode::Adding || !school.threeButton()) return false;
  const QString number = store::SchoolNumber::automatic(
      school.code, m_student.sinifi, m_student.kayitNo, m_student.adi, m_student.soyadi);
  if (number == m_student.numarasi) return false;
  m_student.numarasi = number;
  return true;
}

QString StudentForm::photoToShow() const {
  const StudentPhotos photos(m_store);
  if (!m_photo.isEmpty()) return m_photo;
  if (m_removePhoto || m_mode != Mode::Editing) return photos.placeholderPath();
  return photos.displayPath(m_student.kayitNo);
}

Status StudentForm::save(Messages& messages) {
  m_focus = Field::None;
  m_hata = false;
  if (m_mode == Mode::Idle)
    return Status::failure(QStringLiteral("Önce yeni kayıt açınız veya bir öğrenci seçiniz."));
  Student& s = m_student;
  switch (IdentityNumber::check(s.tcKimlik)) {
    case IdentityNumber::Check::WrongLength:
      m_focus = Field::TcKimlik;
      m_hata = true;
      return Status::failure(IdentityNumber::wrongLengthMessage());
    case IdentityNumber::Check::WrongChecksum:
      if (!messages.ask(IdentityNumber::wrongChecksumQuestion())) {
        m_focus = Field::TcKimlik;
        return Status::failure(QString());
      }
      break;
    case IdentityNumber::Check::Empty:
    case IdentityNumber::Check::Valid:
      break;
  }
  if (s.adi.trimmed().isEmpty() || s.soyadi.trimmed().isEmpty() || s.numarasi.trimmed().isEmpty()) {
    m_focus = s.adi.trimmed().isEmpty()      ? Field::Adi
              : s.soyadi.trimmed().isEmpty() ? Field::Soyadi
                                             : Field::Numarasi;
    return Status::failure(emptyFieldsMessage());
  }
  if (const FieldProblem bad = badField(s); !bad.message.isEmpty()) {
    m_focus = bad.field;
    return Status::failure(bad.message);
  }
  if (s.seviye.trimmed().isEmpty()) {
    m_focus = Field::Seviye;
    return Status::failure(levelMissingMessage());
  }
  // A chosen photo that is no picture is refused before anything is written.
  const StudentPhotos photos(m_store);
  std::optional<QByteArray> photo;
  if (!m_photo.isEmpty()) {
    Result<QByteArray> jpeg = StudentPhotos::jpeg(m_photo);
    if (!jpeg) return Status::failure(jpeg.error());
    photo = std::move(jpeg.value());
  }
  Students students(m_store);
  store::FolderChange files(m_store);
  store::Transaction tx(m_store);
  const QString except = m_mode == Mode::Editing ? s.kayitNo : QString();
  const Result<QString> other = studentWithNumber(m_store, s.numarasi, s.sinifi, except);
  if (!other) return Status::failure(other.error());
  if (!other->isEmpty()) {
    m_focus = Field::Numarasi;
    return Status::failure(sameNumberMessage(m_store, s.numarasi, s.sinifi, *other));
  }
  if (m_mode == Mode::Adding) {
    // Another screen (or the CLI) may have taken the number since beginNew().
    const Result<QVariant> taken = m_store.scalar(
        QStringLiteral("SELECT EXISTS (SELECT 1 FROM TABLEOGRENCI WHERE KAYITNO=?)"), {s.kayitNo});
    if (!taken) return Status::failure(taken.error());
    if (taken->toInt() == 1) {
      const Result<qint64> next = students.nextRegistrationNumber();
      if (!next) return Status::failure(next.error());
      s.kayitNo = QString::number(next.value());
    }
    if (Status r = m_store.run(
            QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,NUMARASI,ADI,SOYADI,SEVIYE,SINIFI,"
                           "TCKIMLIK) VALUES (?,?,?,?,?,?,?)"),
            {s.kayitNo, s.numarasi, s.adi, s.soyadi, s.seviye, s.sinifi, s.tcKimlik});
        !r)
      return r;
  } else {
    if (s.sinifi != m_originalClass) {
      if (Status r = students.releaseConflictingPairings(s.kayitNo, s.sinifi); !r) return r;
    }
    if (Status r = m_store.run(
            QStringLiteral("UPDATE TABLEOGRENCI SET NUMARASI=?,ADI=?,SOYADI=?,SEVIYE=?,SINIFI=?,"
                           "TCKIMLIK=? WHERE KAYITNO=?"),
            {s.numarasi, s.adi, s.soyadi, s.seviye, s.sinifi, s.tcKimlik, s.kayitNo});
        !r)
      return r;
    if (Status r =
            m_store.run(QStringLiteral("UPDATE TABLESONUC SET ADI=?,SOYADI=? WHERE KAYITNO=?"),
                        {s.adi, s.soyadi, s.kayitNo});
        !r)
      return r;
  }
  if (photo) {
    if (Status r = photos.set(files, s.kayitNo, *photo); !r) return r;
  } else if (m_removePhoto) {
    if (Status r = photos.remove(files, s.kayitNo); !r) return r;
  }
  m_store.changed(store::Change::Students);
  if (Status r = tx.commit(); !r) return r;
  if (Status p = files.settle(); !p) {
    m_mode = Mode::Idle;
    return p;  // the student is saved; only the photo failed
  }
  m_photo.clear();
  m_removePhoto = false;
  m_mode = Mode::Idle;
  return {};
}

}  // namespace school
