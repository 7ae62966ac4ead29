#include "frmMesaj.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QDialogButtonBox::ButtonRole roleOf(Messages::Answer answer) {
  switch (answer) {
    case Messages::Answer::Ok:
      return QDialogButtonBox::AcceptRole;
    case Messages::Answer::Yes:
      return QDialogButtonBox::YesRole;
    case Messages::Answer::No:
      return QDialogButtonBox::NoRole;
    case Messages::Answer::Cancel:
      return QDialogButtonBox::RejectRole;
  }
  return QDialogButtonBox::AcceptRole;
}

QStyle::StandardPixmap pixmapOf(Messages::Kind kind) {
  switch (kind) {
    case Messages::Kind::Info:
      return QStyle::SP_MessageBoxInformation;
    case Messages::Kind::Warning:
      return QStyle::SP_MessageBoxWarning;
    case Messages::Kind::Error:
      return QStyle::SP_MessageBoxCritical;
    case Messages::Kind::Question:
      return QStyle::SP_MessageBoxQuestion;
  }
  return QStyle::SP_MessageBoxInformation;
}

}  // namespace

frmMesaj::frmMesaj(QWidget* parent, const Messages::Message& message)
    : QDialog(parent), m_answer(Messages::answersOf(message.buttons).constLast()) {
  setObjectName(QStringLiteral("frmMesaj"));
  setWindowTitle(message.title);
  setModal(true);

  auto* icon = new QLabel(this);
  icon->setPixmap(style()->standardIcon(pixmapOf(message.kind)).pixmap(48, 48));
  icon->setAlignment(Qt::AlignTop);

  auto* label = new QLabel(message.text, this);
  label->setObjectName(QStringLiteral("lblMesaj"));
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setMinimumWidth(360);
  QFont f = label->font();
  f.setPointSizeF(f.pointSizeF() * 1.15);
  label->setFont(f);

  auto* box = new QDialogButtonBox(this);
  for (const Messages::Answer answer : Messages::answersOf(message.buttons)) {
    QPushButton* b = box->addButton(Messages::buttonText(answer), roleOf(answer));
    b->setMinimumSize(110, 40);
    // Enter presses the default button: "Hayır" where "Evet" cannot be taken back.
    b->setDefault(answer == message.defaultAnswer);
    b->setAutoDefault(answer == message.defaultAnswer);
    if (answer == message.defaultAnswer) b->setFocus();
    connect(b, &QPushButton::clicked, this, [this, answer] {
      m_answer = answer;
      accept();
    });
  }

  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addWidget(label, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(box);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

Messages::Answer WidgetMessages::show(const Message& message) {
  // Over the window the user is looking at (a full-screen presentation asking
  // stays on top of the board), else over the main window.
  QWidget* active = QApplication::activeWindow();
  QPointer<QWidget> over = active ? active : m_parent;
  frmMesaj dialog(over, message);
  dialog.exec();
  // Without a window manager nobody gives the focus back: the window asked
  // from (whose activity takes the presses) becomes active again.
  if (over && over->isVisible()) over->activateWindow();
  return dialog.answer();
}
