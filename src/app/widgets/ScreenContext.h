#pragma once

#include <functional>

class Messages;
class QWidget;

namespace store {
class Store;
}

// What the main window lends every screen and shared widget it makes: the data
// (the one store::Store) and the message channel. A screen keeps its copy and
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
// Tests make one from a store of their own and a RecordedMessages.
struct ScreenContext {
  store::Store& store;
  Messages& messages;
  // Opens a further screen inside the main window (the student import from the
  // student screen). Empty outside the main window: the screen then shows it as a
  // window of its own.
  std::function<void(QWidget* screen)> showScreen;
};
