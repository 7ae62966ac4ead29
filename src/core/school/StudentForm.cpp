#include "school/StudentForm.h"

#include "school/IdentityNumber.h"
#include "school/SchoolInfo.h"
#include "school/SchoolNumber.h"
#include "school/StudentPhotos.h"
#include "school/StudentRules.h"
#include "school/Students.h"
#include "store/Sql.h"

namespace school {

QString StudentForm::saveButtonCaption() const {
  return m_mode == Mode::Editing ? QStringLiteral("Düzelt") : QStringLiteral("Ekle");
}

void StudentForm::beginNew() {
  m_student = Student{};
  m_student.kayitNo = QString::number(Students::nextRegistrationNumber());
  m_original = m_student;
  m_originalClass.clear();
  m_photo.clear();
  m_removePhoto = false;
  m_mode = Mode::Adding;
}

Status StudentForm::edit(const QString& kayitNo) {
  Result<Student> s = Students::load(kayitNo);
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
  if (m_mode != Mode::Adding || SchoolInfo::threeButtonValue() != QStringLiteral("1")) return false;
  const QString number =
      SchoolNumber::automatic(SchoolInfo::institutionCode(), m_student.sinifi, m_student.kayitNo,
                              m_student.adi, m_student.soyadi);
  if (number == m_student.numarasi) return false;
  m_student.numarasi = number;
  return true;
}

QString StudentForm::photoToShow() const {
  if (!m_photo.isEmpty()) return m_photo;
  if (m_removePhoto || m_mode != Mode::Editing) return StudentPhotos::placeholderPath();
  return StudentPhotos::displayPath(m_student.kayitNo);
}

Status StudentForm::save(const Ask& ask) {
  m_focus.clear();
  m_hata = false;
  if (m_mode == Mode::Idle)
    return Status::failure(QStringLiteral("Önce yeni kayıt açınız veya bir öğrenci seçiniz."));
  Student& s = m_student;
  switch (IdentityNumber::check(s.tcKimlik)) {
    case IdentityNumber::Check::WrongLength:
      m_focus = QStringLiteral("txtTCKimlik");
      m_hata = true;
      return Status::failure(IdentityNumber::wrongLengthMessage());
    case IdentityNumber::Check::WrongChecksum:
      if (!ask || !ask(IdentityNumber::wrongChecksumQuestion())) {
        m_focus = QStringLiteral("txtTCKimlik");
        return Status::failure(QString());
      }
      break;
    case IdentityNumber::Check::Empty:
    case IdentityNumber::Check::Valid:
      break;
  }
  if (s.adi.trimmed().isEmpty() || s.soyadi.trimmed().isEmpty() || s.numarasi.trimmed().isEmpty()) {
    m_focus = s.adi.trimmed().isEmpty()      ? QStringLiteral("txtAdi")
              : s.soyadi.trimmed().isEmpty() ? QStringLiteral("txtSoyadi")
                                             : QStringLiteral("txtNumarasi");
    return Status::failure(emptyFieldsMessage());
  }
  if (const FieldProblem tooLong = tooLongField(s); !tooLong.message.isEmpty()) {
    m_focus = tooLong.field;
    return Status::failure(tooLong.message);
  }
  if (s.seviye.trimmed().isEmpty()) {
    m_focus = QStringLiteral("cmbSeviye");
    return Status::failure(levelMissingMessage());
  }
  store::Transaction tx;
  const QString except = m_mode == Mode::Editing ? s.kayitNo : QString();
  if (const QString other = studentWithNumber(s.numarasi, s.sinifi, except); !other.isEmpty()) {
    m_focus = QStringLiteral("txtNumarasi");
    return Status::failure(sameNumberMessage(s.numarasi, s.sinifi, other));
  }
  if (m_mode == Mode::Adding) {
    // Another screen (or the CLI) may have taken the number since beginNew().
    const bool taken =
        store::scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM TABLEOGRENCI WHERE KAYITNO=?)"),
                      {s.kayitNo}, 0)
            .toInt() == 1;
    if (taken) s.kayitNo = QString::number(Students::nextRegistrationNumber());
    if (Status r = store::run(
            QStringLiteral("INSERT INTO TABLEOGRENCI (KAYITNO,NUMARASI,ADI,SOYADI,SEVIYE,SINIFI,"
                           "TCKIMLIK) VALUES (?,?,?,?,?,?,?)"),
            {s.kayitNo, s.numarasi, s.adi, s.soyadi, s.seviye, s.sinifi, s.tcKimlik});
        !r)
      return r;
  } else {
    if (s.sinifi != m_originalClass) {
      if (Status r = Students::releaseConflictingPairings(s.kayitNo, s.sinifi); !r) return r;
    }
    if (Status r = store::run(
            QStringLiteral("UPDATE TABLEOGRENCI SET NUMARASI=?,ADI=?,SOYADI=?,SEVIYE=?,SINIFI=?,"
                           "TCKIMLIK=? WHERE KAYITNO=?"),
            {s.numarasi, s.adi, s.soyadi, s.seviye, s.sinifi, s.tcKimlik, s.kayitNo});
        !r)
      return r;
    if (Status r =
            store::run(QStringLiteral("UPDATE TABLESONUC SET ADI=?,SOYADI=? WHERE KAYITNO=?"),
                       {s.adi, s.soyadi, s.kayitNo});
        !r)
      return r;
  }
  if (Status r = tx.commit(); !r) return r;
  if (!m_photo.isEmpty()) {
    if (Status p = StudentPhotos::set(s.kayitNo, m_photo); !p) {
      m_mode = Mode::Idle;
      return p;  // the student is saved; only the photo failed
    }
  } else if (m_removePhoto) {
    StudentPhotos::remove(s.kayitNo);
  }
  m_photo.clear();
  m_removePhoto = false;
  m_mode = Mode::Idle;
  return {};
}

}  // namespace school
