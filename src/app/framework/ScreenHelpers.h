#pragma once

#include <QString>

#include <functional>

#include "Result.h"
#include "framework/ScreenContext.h"

class Messages;
class QGroupBox;
class QPushButton;
class QWidget;

// The small pieces every screen shares.
namespace framework {

// A large button with a clear caption; `name` becomes its objectName.
QPushButton* button(const QString& name, const QString& caption, QWidget* parent);
// `content` in a titled frame.
QGroupBox* group(const QString& title, QWidget* content, QWidget* parent);

// Opens a written file with the desktop's default application; when no program
// takes it, says where the file is ("Sonuç dosyası: ..."), so the work is never
// lost from sight. Tests replace the opener so that nothing is started (it
// returns whether a program took the file); an empty function restores the
// desktop's.
void openFile(Messages& messages, const QString& path);
void setFileOpener(std::function<bool(const QString&)> opener);

// Shows a failed Status as "Hata"; true when it succeeded.
bool check(Messages& messages, const Status& status);

// An action with a right of its own besides its screen's: true when the logged-in
// user has it, else says "Bu bölümü kullanma yetkiniz yok".
bool allowed(const ScreenContext& context, const QString& rightKey);

}  // namespace framework
