#pragma once

#include <QString>

#include <functional>

#include "Result.h"
#include "school/Ask.h"
#include "school/Query.h"

class QPushButton;
class QWidget;
class Sliste;

// Small pieces the three school screens share: touch-sized buttons, the Yes/No
// question through frmMesaj, filling a grid from a core query and opening a
// written file with the desktop's default application.
namespace schoolui {

// A large button with a clear caption; `name` becomes its objectName.
QPushButton* button(const QString& name, const QString& caption, QWidget* parent);

// The core's questions answered by the teacher in the program's message window.
school::Ask asker(QWidget* parent);

// Fills the grid; a failure was already shown by the grid itself.
Status fill(Sliste* grid, const school::Query& query);

// Opens a written file with the default application; when none opens it, the
// teacher is told where the file is ("Sonuç dosyası: ..."). Tests replace the
// opener so that nothing is started (it returns whether a program took the
// file); an empty function restores the desktop's.
void openFile(QWidget* parent, const QString& path);
void setFileOpener(std::function<bool(const QString&)> opener);

// Shows a failed Status as "Hata"; true when it succeeded.
bool check(QWidget* parent, const Status& status);

}  // namespace schoolui
