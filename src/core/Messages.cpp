#include "Messages.h"

void Messages::info(const QString& text, const QString& title) {
  (void)show({Kind::Info, title, text, Buttons::Ok, Answer::Ok});
}

void Messages::warning(const QString& text, const QString& title) {
  (void)show({Kind::Warning, title, text, Buttons::Ok, Answer::Ok});
}

void Messages::error(const QString& text, const QString& title) {
  (void)show({Kind::Error, title, text, Buttons::Ok, Answer::Ok});
}

bool Messages::ask(const QString& text, const QString& title, Answer defaultAnswer) {
  return show({Kind::Question, title, text, Buttons::YesNo, defaultAnswer}) == Answer::Yes;
}

Messages::Answer Messages::askOrCancel(const QString& text, const QString& title) {
  return show({Kind::Question, title, text, Buttons::YesNoCancel, Answer::Yes});
}

QString Messages::buttonText(Answer answer) {
  switch (answer) {
    case Answer::Ok:
      return QStringLiteral("Tamam");
    case Answer::Yes:
      return QStringLiteral("Evet");
    case Answer::No:
      return QStringLiteral("Hayır");
    case Answer::Cancel:
      return QStringLiteral("İptal");
  }
  return {};
}

QList<Messages::Answer> Messages::answersOf(Buttons buttons) {
  switch (buttons) {
    case Buttons::Ok:
      return {Answer::Ok};
    case Buttons::YesNo:
      return {Answer::Yes, Answer::No};
    case Buttons::YesNoCancel:
      return {Answer::Yes, Answer::No, Answer::Cancel};
  }
  return {Answer::Ok};
}

Messages::Answer RecordedMessages::show(const Message& message) {
  m_shown << message;
  const QList<Answer> offered = answersOf(message.buttons);
  if (offered.size() == 1) return offered.first();
  while (!m_answers.isEmpty()) {
    const Answer next = m_answers.takeFirst();
    if (offered.contains(next)) return next;
  }
  if (m_default && offered.contains(*m_default)) return *m_default;
  return message.defaultAnswer;
}

QStringList RecordedMessages::texts() const {
  QStringList out;
  for (const Message& m : m_shown) out << m.text;
  return out;
}

QStringList RecordedMessages::takeTexts() {
  QStringList out;
  for (qsizetype i = m_taken; i < m_shown.size(); ++i) out << m_shown.at(i).text;
  m_taken = m_shown.size();
  return out;
}
