#pragma once

#include <QString>
#include <QStringList>

#include "Result.h"
#include "framework/ScreenContext.h"

class Messages;
class QComboBox;
class frmKirpmaMenu;
class QLineEdit;
class QWidget;

namespace framework {
class ScreenRegistry;
}

// The authoring area's screens and the small pieces they share.
namespace authoringui {

// Puts frmSoruHazirlama (button 2) and frmTestHazirlama (button 3) on the main
// bar; the bar, the menu, the shortcuts and the home tiles reach them through
// the registry's rights check.
void registerAuthoringScreens(framework::ScreenRegistry& registry, const ScreenContext& context);

// Opens the clipping tool for a saved test, or for free questioning when
// `testNo` is empty (its questions stay out of the bank). Null, after saying
// why, when the test cannot take clips.
frmKirpmaMenu* openClipping(const ScreenContext& context, const QString& testNo);

// Shows a test in the test screen `screen` opened (frmTestHazirlama); nothing
// when it is not that screen (its rights check refused it).
void showTest(QWidget* screen, const QString& testNo);

QComboBox* combo(const QString& name, QWidget* parent, bool editable = false);
QLineEdit* lineEdit(const QString& name, QWidget* parent);
// Shows a stored value: empty clears the choice, a value the list does not
// offer is added (old rows keep what they hold).
void setComboText(QComboBox* c, const QString& value);
// The text of a list; empty when nothing is chosen.
QString comboText(const QComboBox* c);
// A filter list without its "TÜMÜ" entry (the correct-choice and time lists).
QStringList withoutAll(QStringList entries);
// Shows a failed Status as "Uyarı"; an empty error is a question the teacher
// answered "Hayır" and shows nothing. True when it succeeded.
bool report(Messages& messages, const Status& status);
// Whether the logged-in user may use an action ("TopluSoruSil", "KitapcikYazdir"
// ...); `ask` says the refusal when not.
bool allowed(const ScreenContext& context, const QString& action, bool ask);

}  // namespace authoringui
