#include "shell/frmMesaj.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {
QList<int>& autoAnswers() {
  static QList<int> answers;
  return answers;
}
QStringList& shownTexts() {
  static QStringList texts;
  return texts;
}
}  // namespace

void frmMesaj::setAutoAnswers(QList<int> answers) { autoAnswers() = std::move(answers); }

QStringList frmMesaj::takeShownTexts() { return std::exchange(shownTexts(), {}); }

frmMesaj::frmMesaj(QWidget* parent, const QString& title, const QString& text, Buttons buttons,
                   Kind kind)
    : QDialog(parent) {
  setObjectName(QStringLiteral("frmMesaj"));
  setWindowTitle(title);
  setModal(true);

  auto* icon = new QLabel(this);
  QStyle::StandardPixmap pixmap = QStyle::SP_MessageBoxInformation;
  if (kind == Kind::Warning) pixmap = QStyle::SP_MessageBoxWarning;
  if (kind == Kind::Error) pixmap = QStyle::SP_MessageBoxCritical;
  if (kind == Kind::Question) pixmap = QStyle::SP_MessageBoxQuestion;
  icon->setPixmap(style()->standardIcon(pixmap).pixmap(48, 48));
  icon->setAlignment(Qt::AlignTop);

  auto* label = new QLabel(text, this);
  label->setObjectName(QStringLiteral("lblMesaj"));
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setMinimumWidth(360);
  QFont f = label->font();
  f.setPointSizeF(f.pointSizeF() * 1.15);
  label->setFont(f);

  auto* box = new QDialogButtonBox(this);
  auto add = [&](const QString& caption, int code, QDialogButtonBox::ButtonRole role) {
    QPushButton* b = box->addButton(caption, role);
    b->setMinimumSize(110, 40);
    connect(b, &QPushButton::clicked, this, [this, code] {
      m_result = code;
      accept();
    });
    return b;
  };
  switch (buttons) {
    case Buttons::Ok:
      add(QStringLiteral("Tamam"), Tamam, QDialogButtonBox::AcceptRole)->setDefault(true);
      m_result = Tamam;
      break;
    case Buttons::OkCancel:
      add(QStringLiteral("Tamam"), Tamam, QDialogButtonBox::AcceptRole)->setDefault(true);
      add(QStringLiteral("İptal"), Iptal, QDialogButtonBox::RejectRole);
      break;
    case Buttons::YesNo:
      add(QStringLiteral("Evet"), Evet, QDialogButtonBox::YesRole)->setDefault(true);
      add(QStringLiteral("Hayır"), Hayir, QDialogButtonBox::NoRole);
      m_result = Hayir;
      break;
    case Buttons::YesNoDefaultNo: {
      add(QStringLiteral("Evet"), Evet, QDialogButtonBox::YesRole)->setAutoDefault(false);
      QPushButton* no = add(QStringLiteral("Hayır"), Hayir, QDialogButtonBox::NoRole);
      no->setDefault(true);
      no->setFocus();
      m_result = Hayir;
      break;
    }
    case Buttons::YesNoCancel:
      add(QStringLiteral("Evet"), Evet, QDialogButtonBox::YesRole)->setDefault(true);
      add(QStringLiteral("Hayır"), Hayir, QDialogButtonBox::NoRole);
      add(QStringLiteral("İptal"), Iptal, QDialogButtonBox::RejectRole);
      break;
  }

  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addWidget(label, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(box);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

int frmMesaj::Mesaj(QWidget* parent, const QString& title, const QString& text, Buttons buttons,
                    Kind kind) {
  shownTexts() << text;
  if (!autoAnswers().isEmpty()) return autoAnswers().takeFirst();
  frmMesaj dialog(parent ? parent : QApplication::activeWindow(), title, text, buttons, kind);
  dialog.exec();
  return dialog.m_result;
}

void frmMesaj::uyari(QWidget* parent, const QString& text) {
  Mesaj(parent, QStringLiteral("Uyarı"), text, Buttons::Ok, Kind::Warning);
}

void frmMesaj::hata(QWidget* parent, const QString& text) {
  Mesaj(parent, QStringLiteral("Hata"), text, Buttons::Ok, Kind::Error);
}

bool frmMesaj::soru(QWidget* parent, const QString& text, const QString& title) {
  return Mesaj(parent, title, text, Buttons::YesNo, Kind::Question) == Evet;
}
