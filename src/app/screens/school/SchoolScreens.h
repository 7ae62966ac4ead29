#pragma once

#include <QString>

#include <functional>

#include "Result.h"
#include "widgets/ScreenContext.h"

class Messages;
class QGroupBox;
class QPushButton;
class QWidget;

namespace shell {
class ReceiverController;
class ScreenRegistry;
}  // namespace shell

// The school area's screens (classes and students, remotes and pairing, student
// import) and the small pieces they share.
namespace schoolui {

// Puts the area's screens on the main bar: frmTanimlamalar (button 0) and
// frmKumandaTanimlama (button 1, whose registration panel takes the remote
// presses, drives the receiver's registration mode and knows whether a receiver
// is attached).
void registerSchoolScreens(shell::ScreenRegistry& registry, const ScreenContext& context,
                           shell::ReceiverController& receiver);

// Opens the student import (menu and student screen alike); refused while no
// level is offered, as the import needs one to give the students.
void openStudentImport(const ScreenContext& context);

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
bool allowed(Messages& messages, const QString& rightKey);

}  // namespace schoolui
