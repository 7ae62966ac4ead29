#include "shell/FormSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHash>
#include <QRadioButton>
#include <QWidget>

#include "store/ScreenState.h"

namespace {

const char* const kIndexProperty = "indeks";

QString screenName(const QWidget* screen) {
  return screen->objectName().isEmpty() ? QString::fromLatin1(screen->metaObject()->className())
                                        : screen->objectName();
}

QHash<const QWidget*, int> tabPositions(QWidget* screen) {
  QHash<const QWidget*, int> positions;
  int position = 0;
  for (QWidget* w = screen->nextInFocusChain(); w && w != screen; w = w->nextInFocusChain()) {
    if (positions.contains(w)) break;
    positions.insert(w, position++);
  }
  return positions;
}

bool saveable(const QWidget* w) {
  return qobject_cast<const QCheckBox*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QRadioButton*>(w);
}

QString valueOf(const QWidget* w) {
  if (const auto* c = qobject_cast<const QCheckBox*>(w))
    return QString::number(int(c->checkState()));
  if (const auto* c = qobject_cast<const QComboBox*>(w))
    return c->isEditable() ? c->currentText() : QString::number(c->currentIndex());
  if (const auto* r = qobject_cast<const QRadioButton*>(w))
    return r->isChecked() ? QStringLiteral("True") : QStringLiteral("False");
  return {};
}

void applyValue(QWidget* w, const QString& value) {
  if (auto* c = qobject_cast<QCheckBox*>(w)) {
    bool ok = false;
    const int state = value.toInt(&ok);
    if (ok && state >= 0 && state <= 2) c->setCheckState(Qt::CheckState(state));
  } else if (auto* c = qobject_cast<QComboBox*>(w)) {
    if (c->isEditable()) {
      c->setCurrentText(value);
      return;
    }
    bool ok = false;
    const int index = value.toInt(&ok);
    if (ok && index >= -1 && index < c->count()) c->setCurrentIndex(index);
  } else if (auto* r = qobject_cast<QRadioButton*>(w)) {
    if (value.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
      r->setChecked(true);
    else if (value.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0 && r->isChecked())
      r->setChecked(false);
  }
}

QString indexOf(const QWidget* w, const QHash<QString, int>& nameCounts) {
  const QVariant index = w->property(kIndexProperty);
  if (index.isValid()) return index.toString();
  return nameCounts.value(w->objectName()) > 1 ? QStringLiteral("0") : QStringLiteral("-");
}

}  // namespace

void setControlIndex(QWidget* widget, int index) { widget->setProperty(kIndexProperty, index); }

namespace {
struct Saveable {
  QWidget* widget;
  QString index;
};

// Every saveable control of the screen with its array index ("-" when single).
QList<Saveable> saveableControls(QWidget* screen) {
  const QList<QWidget*> all = screen->findChildren<QWidget*>();
  QHash<QString, int> nameCounts;
  for (const QWidget* w : all)
    if (saveable(w) && !w->objectName().isEmpty()) ++nameCounts[w->objectName()];
  QList<Saveable> out;
  for (QWidget* w : all)
    if (saveable(w) && !w->objectName().isEmpty()) out.append({w, indexOf(w, nameCounts)});
  return out;
}
}  // namespace

void AyarKaydet(QWidget* screen) {
  if (!screen) return;
  const QHash<const QWidget*, int> tabs = tabPositions(screen);
  QList<store::ControlState> states;
  for (const Saveable& c : saveableControls(screen))
    states.append({c.widget->objectName(), c.index, valueOf(c.widget),
                   QString::number(tabs.value(c.widget, int(tabs.size())))});
  (void)store::saveScreenState(screenName(screen), states);
}

void AyarYukle(QWidget* screen, const QString& threeButtonSetting) {
  if (!screen) return;
  const QString name = screenName(screen);
  if (name == QStringLiteral("frmTestUygula"))
    (void)store::ensureTestRunFactoryRows(threeButtonSetting);
  const QList<Saveable> controls = saveableControls(screen);
  for (const store::ControlState& row : store::loadScreenState(name)) {
    for (const Saveable& c : controls) {
      if (c.widget->objectName() == row.control && c.index == row.index) {
        applyValue(c.widget, row.value);
        break;
      }
    }
  }
}
