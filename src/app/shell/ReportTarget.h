#pragma once

#include <QSet>
#include <QString>

class QAbstractButton;

namespace shell {

// What the press routing needs from the test report screen (`frmRaporlar`); also
// consulted while a drawing overlay ("...Cizim...") lies over it.
class ReportTarget {
 public:
  static constexpr int kTabGeneral = 0;
  static constexpr int kTabQuestion = 1;
  static constexpr int kTabStudent = 5;

  virtual ~ReportTarget() = default;
  virtual bool teacherCommandState() const = 0;
  virtual QSet<QString> teacherRemotes() const = 0;
  virtual int currentTab() const = 0;       // SSTab1
  virtual int studentListRows() const = 0;  // rows of the per-student view
  virtual QAbstractButton* cmdNav(int index) const = 0;
  virtual QAbstractButton* cmdNavSoru(int index) const = 0;
  virtual QAbstractButton* cmdCikis() const = 0;
  virtual QAbstractButton* Command1() const = 0;
};

}  // namespace shell
