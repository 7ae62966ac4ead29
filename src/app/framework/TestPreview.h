#pragma once

#include <QWidget>

#include "Result.h"
#include "delivery/RunContent.h"
#include "framework/ScreenContext.h"

class QLabel;
class QPushButton;
class QuestionPicture;

// "Test Önizleme": the test's questions full screen, one after the other, as the
// class would see them; nothing is collected and nothing is written.
class TestPreview : public QWidget {
  Q_OBJECT
 public:
  explicit TestPreview(const ScreenContext& context, QWidget* parent = nullptr);

  // Reads the test's questions; an error (no such test) is returned.
  Status open(const QString& testNo, const QString& title);
  // One question of the bank on its own.
  void openQuestion(const QString& soruNo);

  // The preview of a test, or of one question, full screen on the projector when
  // there are two screens (the one `near` is not on); false after a message when
  // the test cannot be read.
  static bool previewTest(const ScreenContext& context, const QString& testNo, const QString& title,
                          QWidget* near);
  static void previewQuestion(const ScreenContext& context, const QString& soruNo, QWidget* near);
  void go(int step);  // -1 previous, +1 next
  int position() const { return m_position; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void showQuestion(int position);

  ScreenContext m_context;
  QList<delivery::RunQuestion> m_questions;
  int m_position = 0;  // 1-based
  QuestionPicture* m_picture;
  QLabel* m_title;
  QLabel* m_counter;
  QPushButton* m_previous;
  QPushButton* m_next;
  QPushButton* m_close;
};
