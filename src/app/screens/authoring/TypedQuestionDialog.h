#pragma once

#include <QDialog>
#include <QTextEdit>

#include <array>
#include <optional>

#include "authoring/TypedQuestion.h"

class Messages;
class QLineEdit;

// The stem editor: a picture pasted or dropped into it is kept inside the text.
class StemEdit : public QTextEdit {
  Q_OBJECT
 public:
  explicit StemEdit(QWidget* parent = nullptr);
  void insertPicture(const QImage& image);

 protected:
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  int m_pictures = 0;
};

// Writing a question as text ("Soruyu Yazarak Hazırla"): the stem with bold,
// italic, superscript, subscript and pictures, and the choices A-E. The result is
// an authoring::TypedQuestion; drawing it and keeping its text is the core's.
class TypedQuestionDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TypedQuestionDialog(Messages& messages, QWidget* parent = nullptr);

  void setQuestion(const authoring::TypedQuestion& question);
  authoring::TypedQuestion question() const;

  StemEdit* stem() const { return m_stem; }
  QLineEdit* choice(int i) const { return m_choices.at(size_t(i)); }

 public slots:
  void accept() override;

 private:
  void toggleFormat(int which);
  Messages& m_messages;
  StemEdit* m_stem = nullptr;
  std::array<QLineEdit*, authoring::TypedQuestion::kMaxChoices> m_choices{};
};
