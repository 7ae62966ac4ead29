#include "screens/authoring/AuthoringScreens.h"

#include <QComboBox>
#include <QLineEdit>

#include "Messages.h"
#include "framework/ScreenHelpers.h"
#include "framework/ScreenRegistry.h"
#include "lists/FilterLists.h"
#include "screens/authoring/frmKirpmaMenu.h"
#include "screens/authoring/frmSoruHazirlama.h"
#include "screens/authoring/frmTestHazirlama.h"
#include "users/Rights.h"
#include "users/Session.h"

namespace authoringui {

void registerAuthoringScreens(framework::ScreenRegistry& registry, const ScreenContext& context) {
  registry.registerScreen(
      2, [context](QWidget* parent) { return new frmSoruHazirlama(context, parent); });
  registry.registerScreen(
      3, [context](QWidget* parent) { return new frmTestHazirlama(context, parent); });
}

frmKirpmaMenu* openClipping(const ScreenContext& context, const QString& testNo) {
  auto* menu = new frmKirpmaMenu(context);
  if (testNo.isEmpty()) {
    menu->startFree();
  } else if (Status s = menu->startForTest(testNo); !s) {
    context.messages.warning(s.error());
    delete menu;
    return nullptr;
  }
  menu->show();
  return menu;
}

QComboBox* combo(const QString& name, QWidget* parent, bool editable) {
  auto* c = new QComboBox(parent);
  c->setObjectName(name);
  c->setMinimumHeight(34);
  c->setMinimumWidth(120);
  c->setEditable(editable);
  c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  c->setMinimumContentsLength(10);
  return c;
}

QLineEdit* lineEdit(const QString& name, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setMinimumHeight(34);
  return e;
}

void setComboText(QComboBox* c, const QString& value) {
  if (value.isEmpty()) {
    c->setCurrentIndex(-1);
    if (c->isEditable()) c->setEditText(QString());
    return;
  }
  int at = c->findText(value);
  if (at < 0) {
    c->addItem(value);
    at = c->count() - 1;
  }
  c->setCurrentIndex(at);
}

QString comboText(const QComboBox* c) {
  return c->currentIndex() < 0 && !c->isEditable() ? QString() : c->currentText();
}

QStringList withoutAll(QStringList entries) {
  entries.removeAll(lists::kTumu);
  return entries;
}

bool report(Messages& messages, const Status& status) {
  if (status.ok()) return true;
  if (!status.error().isEmpty()) messages.warning(status.error());
  return false;
}

bool allowed(const ScreenContext& context, const QString& action, bool ask) {
  if (ask) return framework::allowed(context, action);
  return context.session.allows(action);
}

void showTest(QWidget* screen, const QString& testNo) {
  if (auto* tests = qobject_cast<frmTestHazirlama*>(screen)) tests->testYukle(testNo);
}

}  // namespace authoringui
