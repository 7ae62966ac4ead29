#pragma once

#include <QObject>
#include <QSet>
#include <QString>

#include <optional>

#include "activity/PressConsumer.h"

namespace reports {

// Where the run report is: which page, which question, which remote; and what the
// teacher's remote may press there. The screen shows the page and the captions
// given here and turns its buttons into the same calls; a teacher press (A, B, C,
// D, E, BOŞ) acts only when the button it stands for is available, exactly as a
// click would.
class ReportNavigator : public QObject, public activity::PressConsumer {
  Q_OBJECT
 public:
  // The pages in their tab order.
  enum class Page {
    General = 0,       // "Genel" (Doğru-Yanlış / Cevap Dağılım İstatistiği)
    Question = 1,      // TestSoruBazliGoster
    Answers = 2,       // "Verilen Cevaplar"
    Distribution = 3,  // TestOgrenciDagilim
    ClassTable = 4,    // KursuGoster
    Student = 5,       // TestOgrenciBazliGoster
    Items = 6,         // item analysis
  };
  static constexpr int kPages = 7;
  static QString pageCaption(Page page);

  // The buttons a teacher remote can press.
  enum class Action {
    PreviousReport,    // cmdNav(0) "Önceki Rapor (A)"
    NextReport,        // cmdNav(3) "Sonraki Rapor (B)"
    PreviousStudent,   // cmdNav(4) "Önceki Öğrenci (C)"
    NextStudent,       // cmdNav(1) "Sonraki Öğrenci (D)"
    Export,            // cmdNav(2) "MS Excel (E)"
    FirstQuestion,     // cmdNavSoru(0) "İlk Soru"
    PreviousQuestion,  // cmdNavSoru(1) "Önceki Soru (C)"
    NextQuestion,      // cmdNavSoru(2) "Sonraki Soru (D)"
    LastQuestion,      // cmdNavSoru(3) "Son Soru"
    ToggleGeneral,     // Command1: correct/wrong or option distribution on page 0
    BackToRun,         // cmdTesteGeriDon "Teste Devam Et (BOŞ)"
    Exit,              // cmdCikis "Çıkış (BOŞ)"
  };
  static QString caption(Action action);

  explicit ReportNavigator(QObject* parent = nullptr);

  // The run's size; indices are clamped to it.
  void setCounts(int questions, int participants);
  // Opened by the presentation after a question: "Teste Devam Et" is offered.
  void setOpenedFromRun(bool fromRun) { m_fromRun = fromRun; }
  // The teacher remotes whose presses are commands; empty: no remote commands.
  void setTeacherRemotes(const QSet<QString>& remotes) { m_teachers = remotes; }
  // Teacher commands are taken only while the screen wants them (the report was
  // opened by a run, or the teacher switched them on).
  void setTeacherCommands(bool on) { m_teacherCommands = on; }

  Page page() const { return m_page; }
  int question() const { return m_question; }
  int student() const { return m_student; }
  bool showsOptionDistribution() const { return m_optionDistribution; }

  void setPage(Page page);
  void setQuestion(int index);
  void setStudent(int index);

  // Whether the button is shown and enabled now.
  bool available(Action action) const;
  // Does what the button does when it is available; false otherwise. Export, back
  // to the run and exit are the screen's to carry out: they are signalled.
  bool trigger(Action action);
  // The action a teacher key stands for on the current page (none: nullopt).
  std::optional<Action> actionFor(const QString& key) const;

  QSet<QString> teacherRemotes() const override;
  void press(const receiver::AdmittedPress& press) override;

 signals:
  void changed();
  void exportRequested();
  void backToRunRequested();
  void exitRequested();

 private:
  Page m_page = Page::General;
  int m_question = 0;
  int m_student = 0;
  int m_questions = 0;
  int m_participants = 0;
  bool m_optionDistribution = false;
  bool m_fromRun = false;
  bool m_teacherCommands = false;
  QSet<QString> m_teachers;
};

}  // namespace reports
