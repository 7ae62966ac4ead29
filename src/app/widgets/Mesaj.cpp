#include "Mesaj.h"

#include <QMessageBox>
#include <QPushButton>

namespace mesaj {

namespace {
Hook& hook() {
  static Hook h;
  return h;
}
}  // namespace

void setHook(Hook h) { hook() = std::move(h); }

void uyari(QWidget* parent, const QString& text, const QString& title) {
  if (hook()) {
    hook()(title, text, false);
    return;
  }
  QMessageBox::warning(parent, title, text);
}

void hata(QWidget* parent, const QString& text) {
  if (hook()) {
    hook()(QStringLiteral("Hata"), text, false);
    return;
  }
  QMessageBox::critical(parent, QStringLiteral("Hata"), text);
}

bool soru(QWidget* parent, const QString& text, const QString& title) {
  if (hook()) return hook()(title, text, true);
  QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
  QAbstractButton* yes = box.addButton(QStringLiteral("Evet"), QMessageBox::YesRole);
  box.addButton(QStringLiteral("Hayır"), QMessageBox::NoRole);
  box.exec();
  return box.clickedButton() == yes;
}

}  // namespace mesaj
