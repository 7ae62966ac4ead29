#include "reports/ReportNavigator.h"

#include <algorithm>

namespace reports {

QString ReportNavigator::pageCaption(Page page) {
  switch (page) {
    case Page::General:
      return QStringLiteral("Genel Durum");
    case Page::Question:
      return QStringLiteral("Soru Bazlı");
    case Page::Answers:
      return QStringLiteral("Verilen Cevaplar");
    case Page::Distribution:
      return QStringLiteral("Öğrenci Dağılımı");
    case Page::ClassTable:
      return QStringLiteral("Sınıf Tablosu");
    case Page::Student:
      return QStringLiteral("Öğrenci Bazlı");
    case Page::Items:
      return QStringLiteral("Madde Analizi");
  }
  return {};
}

QString ReportNavigator::caption(Action action) {
  switch (action) {
    case Action::PreviousReport:
      return QStringLiteral("Önceki Rapor (A)");
    case Action::NextReport:
      return QStringLiteral("Sonraki Rapor (B)");
    case Action::PreviousStudent:
      return QStringLiteral("Önceki Öğrenci (C)");
    case Action::NextStudent:
      return QStringLiteral("Sonraki Öğrenci (D)");
    case Action::Export:
      return QStringLiteral("MS Excel (E)");
    case Action::FirstQuestion:
      return QStringLiteral("İlk Soru");
    case Action::PreviousQuestion:
      return QStringLiteral("Önceki Soru (C)");
    case Action::NextQuestion:
      return QStringLiteral("Sonraki Soru (D)");
    case Action::LastQuestion:
      return QStringLiteral("Son Soru");
    case Action::ToggleGeneral:
      return QStringLiteral("Doğru-Yanlış İstatistiği / Cevap Dağılım İstatistiği (C)");
    case Action::BackToRun:
      return QStringLiteral("Teste Devam Et (BOŞ)");
    case Action::Exit:
      return QStringLiteral("Çıkış (BOŞ)");
  }
  return {};
}

ReportNavigator::ReportNavigator(QObject* parent) : QObject(parent) {}

void ReportNavigator::setCounts(int questions, int participants) {
  m_questions = std::max(0, questions);
  m_participants = std::max(0, participants);
  m_question = std::clamp(m_question, 0, std::max(0, m_questions - 1));
  m_student = std::clamp(m_student, 0, std::max(0, m_participants - 1));
  emit changed();
}

void ReportNavigator::setPage(Page page) {
  if (m_page == page) return;
  m_page = page;
  emit changed();
}

void ReportNavigator::setQuestion(int index) {
  if (index < 0 || index >= m_questions || index == m_question) return;
  m_question = index;
  emit changed();
}

void ReportNavigator::setStudent(int index) {
  if (index < 0 || index >= m_participants || index == m_student) return;
  m_student = index;
  emit changed();
}

bool ReportNavigator::available(Action action) const {
  const bool onQuestion = m_page == Page::Question && m_questions > 0;
  const bool onStudent = m_page == Page::Student && m_participants > 0;
  switch (action) {
    case Action::PreviousReport:
      return int(m_page) > 0;
    case Action::NextReport:
      return int(m_page) < kPages - 1;
    case Action::PreviousStudent:
      return onStudent && m_student > 0;
    case Action::NextStudent:
      return onStudent && m_student + 1 < m_participants;
    case Action::Export:
      return m_questions > 0;
    case Action::FirstQuestion:
    case Action::PreviousQuestion:
      return onQuestion && m_question > 0;
    case Action::NextQuestion:
    case Action::LastQuestion:
      return onQuestion && m_question + 1 < m_questions;
    case Action::ToggleGeneral:
      return m_page == Page::General;
    case Action::BackToRun:
      return m_fromRun;
    case Action::Exit:
      return !m_fromRun;
  }
  return false;
}

bool ReportNavigator::trigger(Action action) {
  if (!available(action)) return false;
  switch (action) {
    case Action::PreviousReport:
      setPage(Page(int(m_page) - 1));
      break;
    case Action::NextReport:
      setPage(Page(int(m_page) + 1));
      break;
    case Action::PreviousStudent:
      setStudent(m_student - 1);
      break;
    case Action::NextStudent:
      setStudent(m_student + 1);
      break;
    case Action::FirstQuestion:
      setQuestion(0);
      break;
    case Action::PreviousQuestion:
      setQuestion(m_question - 1);
      break;
    case Action::NextQuestion:
      setQuestion(m_question + 1);
      break;
    case Action::LastQuestion:
      setQuestion(m_questions - 1);
      break;
    case Action::ToggleGeneral:
      m_optionDistribution = !m_optionDistribution;
      emit changed();
      break;
    case Action::Export:
      emit exportRequested();
      break;
    case Action::BackToRun:
      emit backToRunRequested();
      break;
    case Action::Exit:
      emit exitRequested();
      break;
  }
  return true;
}

std::optional<ReportNavigator::Action> ReportNavigator::actionFor(const QString& key) const {
  if (key == QLatin1String("A")) return Action::PreviousReport;
  if (key == QLatin1String("B")) return Action::NextReport;
  if (key == QLatin1String("E")) return Action::Export;
  if (key == QLatin1String("X")) return m_fromRun ? Action::BackToRun : Action::Exit;
  if (key == QLatin1String("C")) {
    if (m_page == Page::Question) return Action::PreviousQuestion;
    if (m_page == Page::General) return Action::ToggleGeneral;
    if (m_page == Page::Student) return Action::PreviousStudent;
  }
  if (key == QLatin1String("D")) {
    if (m_page == Page::Question) return Action::NextQuestion;
    if (m_page == Page::Student) return Action::NextStudent;
  }
  return std::nullopt;
}

QSet<QString> ReportNavigator::teacherRemotes() const {
  return m_teacherCommands ? m_teachers : QSet<QString>{};
}

void ReportNavigator::press(const receiver::AdmittedPress& press) {
  // Students' presses mean nothing here; a teacher key acts only as its button would.
  if (!press.teacher || !m_teacherCommands || !m_teachers.contains(press.press.KumandaAdresi))
    return;
  if (const std::optional<Action> a = actionFor(press.press.Dugme)) trigger(*a);
}

}  // namespace reports
