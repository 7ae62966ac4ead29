#pragma once

#include <functional>

class Messages;
class QWidget;

namespace store {
class Store;
}
namespace users {
class Session;
}

// What the main window lends every screen and shared widget it makes: the data
// (the one store::Store), the message channel and the session whose rights every
// way into an action asks. A screen keeps its copy and
// passes it on to the grids and editors it builds:
//
//   frmX::frmX(const ScreenContext& context, QWidget* parent)
//       : QWidget(parent), m_context(context) {
//     m_grid = new Sliste(context, {QStringLiteral("frmX"), QStringLiteral("Sliste1")}, this);
//     connect(&context.store, &store::Store::studentsChanged, this, &frmX::refresh);
//   }
//   ...
//   m_context.messages.warning(status.error());
//
// Tests make one from a store, a RecordedMessages and a session of their own.
struct ScreenContext {
  store::Store& store;
  Messages& messages;
  users::Session& session;
  // Opens a further screen inside the main window (the student import from the
  // student screen). Empty outside the main window: the screen then shows it as a
  // window of its own.
  std::function<void(QWidget* screen)> showScreen;
};
