#pragma once

#include <QString>

#include "framework/ScreenContext.h"

class QWidget;

namespace framework {
class ReceiverController;
class ScreenRegistry;
}  // namespace framework

// The school area's screens (classes and students, remotes and pairing, student
// import).
namespace schoolui {

// Puts the area's screens on the main bar: frmTanimlamalar (button 0) and
// frmKumandaTanimlama (button 1, whose registration panel takes the remote
// presses, drives the receiver's registration mode and knows whether a receiver
// is attached).
void registerSchoolScreens(framework::ScreenRegistry& registry, const ScreenContext& context,
                           framework::ReceiverController& receiver);

// Opens the student import (menu and student screen alike); refused while no
// level is offered, as the import needs one to give the students.
void openStudentImport(const ScreenContext& context);

}  // namespace schoolui
