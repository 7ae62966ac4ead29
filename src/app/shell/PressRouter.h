#pragma once

#include <QPointer>
#include <QSet>
#include <QString>
#include <QTime>

#include <functional>

#include "receiver/PressGate.h"

class QAbstractButton;
class QMdiArea;
class QWidget;

namespace shell {

class PresentationTarget;
class ReportTarget;

// Hands each accepted press to the screen the teacher is looking at. The active
// window's objectName decides; a screen takes part by implementing one of the
// small interfaces (PresentationTarget, ReportTarget, RegistrationTarget,
// TileScreen, PressTarget) on the widget that carries its window name.
//
// Stage one runs at once inside DugmeBasildi (tile feedback, registration
// capture); stage two runs on the next Timer2 tick with the pending press.
class PressRouter {
 public:
  static inline const QString kPresentation = QStringLiteral("frmOnizleme");
  static inline const QString kReport = QStringLiteral("frmRaporlar");
  static inline const QString kDrawing = QStringLiteral("Cizim");
  static inline const QString kRegistration = QStringLiteral("frmKumandaTanimlama");
  static inline const QString kClipping = QStringLiteral("frmKirpma");
  static inline const QString kClippingMenu = QStringLiteral("frmKirpmaMenu");
  static inline const QString kAttendance = QStringLiteral("frmYoklama");
  static inline const QString kGame = QStringLiteral("frmOyun1");
  static inline const QString kExitConfirmation = QStringLiteral("frmCikisOnay");

  explicit PressRouter(QMdiArea* mdi = nullptr);

  // The window that has the focus in the main window. Replaceable for tests.
  QWidget* activeWindow() const;
  QString activeName() const;
  void setActiveWindowProvider(std::function<QWidget*()> provider);
  // A loaded window of that name (a child of the main window or a top-level one).
  QWidget* loadedWindow(const QString& name) const;
  // Makes `window` the active one (for the routing at once, for the user as soon as
  // the window system follows).
  void focusWindow(QWidget* window);

  // The teacher collection of the active screen: the presentation's, or the
  // report screen's while the report or a drawing overlay is active.
  QSet<QString> teacherCollection() const;

  // Stage one. True when the press has become the pending press (start Timer2).
  bool stageOne(const receiver::AdmittedPress& admitted, const QTime& now);
  // Stage two with the pending press.
  void stageTwo(const QString& address, const QString& button);

  // Clicks the button when it is both visible and enabled.
  static bool clickIfActive(QAbstractButton* button);

 private:
  PresentationTarget* presentation(QWidget* window) const;
  ReportTarget* loadedReport() const;
  void presentationStageTwo(PresentationTarget* p, const QString& address, const QString& button);
  void reportStageTwo(const QString& address, const QString& button);

  QMdiArea* m_mdi;
  std::function<QWidget*()> m_provider;
  QWidget* systemActiveWindow() const;

  // Made active by the routing itself: it counts as active until the window
  // system has caught up or the user has gone to yet another window.
  mutable QPointer<QWidget> m_focused;
  mutable QPointer<QWidget> m_focusedFrom;
};

}  // namespace shell
