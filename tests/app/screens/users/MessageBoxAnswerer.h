#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

// Answers every message box that opens while it lives and keeps "title|text"
// of each, so tests can drive screens that ask and warn.
class MessageBoxAnswerer : public QObject {
 public:
  explicit MessageBoxAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok)
      : m_answer(answer) {
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->isVisible()) return;
      m_seen << box->windowTitle() + QLatin1Char('|') + box->text();
      QAbstractButton* b = box->button(m_answer);
      if (!b) b = static_cast<QAbstractButton*>(box->defaultButton());
      if (!b && !box->buttons().isEmpty()) b = box->buttons().first();
      if (b) b->click();
    });
    m_timer.start();
  }
  void setAnswer(QMessageBox::StandardButton answer) { m_answer = answer; }
  const QStringList& seen() const { return m_seen; }
  QString last() const { return m_seen.isEmpty() ? QString() : m_seen.last(); }
  void clear() { m_seen.clear(); }

 private:
  QMessageBox::StandardButton m_answer;
  QTimer m_timer;
  QStringList m_seen;
};
