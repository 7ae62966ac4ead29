#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The one channel through which Derslik tells the teacher something or asks a
// question. The core never opens a window: a core object that must ask gets a
// Messages& (as the rollover and the student form do) and the caller decides
// what answers it:
//   - the program passes shell::WidgetMessages (frmMesaj windows),
//   - derslik-cli passes one that prints and answers from --yes,
//   - tests pass RecordedMessages, which records and answers as told.
//
//   if (!messages.ask(Rollover::firstQuestion(), QStringLiteral("Sınıf Atlatma"),
//                     Messages::Answer::No))   // "Hayır" is the default button
//     return;
//   messages.error(status.error());
class Messages {
 public:
  enum class Kind { Info, Warning, Error, Question };
  enum class Buttons { Ok, YesNo, YesNoCancel };
  enum class Answer { Ok, Yes, No, Cancel };

  struct Message {
    Kind kind = Kind::Info;
    QString title;
    QString text;
    Buttons buttons = Buttons::Ok;
    Answer defaultAnswer = Answer::Ok;  // the button Enter presses
  };

  virtual ~Messages() = default;

  // Shows the message and returns the button pressed (closing the window counts
  // as the "No" or "Cancel" it offers, or "Ok").
  virtual Answer show(const Message& message) = 0;

  // "Bilgi", "Uyarı" and "Hata" are the titles the screens always used.
  void info(const QString& text, const QString& title = QStringLiteral("Bilgi"));
  void warning(const QString& text, const QString& title = QStringLiteral("Uyarı"));
  void error(const QString& text, const QString& title = QStringLiteral("Hata"));
  // A Yes/No question; true for "Evet". A question whose "Evet" destroys something
  // passes Answer::No, so that Enter never destroys.
  bool ask(const QString& text, const QString& title = QStringLiteral("Soru"),
           Answer defaultAnswer = Answer::Yes);
  // Yes, No or Cancel ("Kaydetmek istiyor musunuz?" while closing).
  Answer askOrCancel(const QString& text, const QString& title = QStringLiteral("Soru"));

  // The Turkish caption of each button, used by every implementation.
  static QString buttonText(Answer answer);
  // The buttons a set offers, in the order they are shown.
  static QList<Answer> answersOf(Buttons buttons);
};

// Says yes to every question and passes every other message on: the teacher of
// a run driven without anybody at the board (a simulated run, a run served to
// browsers), who leaves the silent remotes out and ends the test when asked.
class AgreeingMessages : public Messages {
 public:
  explicit AgreeingMessages(Messages& out) : m_out(out) {}
  Answer show(const Message& message) override {
    return message.buttons == Buttons::Ok ? m_out.show(message) : Answer::Yes;
  }

 private:
  Messages& m_out;
};

// Records every message and answers as told: the queued answers first, then the
// default button of each message. For tests and scripted runs.
class RecordedMessages : public Messages {
 public:
  Answer show(const Message& message) override;

  // The answer to the next message that offers it (questions take Yes/No/Cancel,
  // plain messages take Ok whatever is queued).
  void setNextAnswer(Answer answer) { m_answers << answer; }
  void setNextAnswers(const QList<Answer>& answers) { m_answers << answers; }
  // The answer for questions once the queue is empty (default: each message's own).
  void setDefaultAnswer(Answer answer) { m_default = answer; }

  const QList<Message>& shown() const { return m_shown; }
  QStringList texts() const;
  QString lastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }
  // The texts shown since the last call.
  QStringList takeTexts();
  void clear() {
    m_shown.clear();
    m_taken = 0;
  }

 private:
  QList<Message> m_shown;
  QList<Answer> m_answers;
  std::optional<Answer> m_default;
  qsizetype m_taken = 0;
};
