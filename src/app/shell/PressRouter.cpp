#include "shell/PressRouter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLoggingCategory>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "receiver/Colors.h"
#include "receiver/TileRules.h"
#include "shell/PresentationTarget.h"
#include "shell/PressTarget.h"
#include "shell/RegistrationTarget.h"
#include "shell/ReportTarget.h"
#include "shell/TileScreen.h"

Q_LOGGING_CATEGORY(lcPress, "derslik.press", QtInfoMsg)

namespace shell {

using receiver::TileRules::allAnswered;
using receiver::TileRules::markFreeTiles;
using receiver::TileRules::markTestTiles;

PressRouter::PressRouter(QMdiArea* mdi) : m_mdi(mdi) {}

void PressRouter::setActiveWindowProvider(std::function<QWidget*()> provider) {
  m_provider = std::move(provider);
}

QWidget* PressRouter::activeWindow() const {
  QWidget* real = systemActiveWindow();
  if (m_focused) {
    if (real == m_focusedFrom) return m_focused;
    m_focused = nullptr;
  }
  return real;
}

QWidget* PressRouter::systemActiveWindow() const {
  if (m_provider) return m_provider();
  // A top-level screen (a full-screen presentation, a confirmation) that has the
  // focus wins. Tool windows such as the virtual remote, message boxes and the
  // diagnostics never take presses: behind them the active child screen does.
  QWidget* top = QApplication::activeWindow();
  if (top && (!m_mdi || top != m_mdi->window()) &&
      top->objectName().startsWith(QLatin1String("frm"))) {
    const Qt::WindowType type = top->windowType();
    if (type == Qt::Window || type == Qt::Dialog) return top;
  }
  if (!m_mdi) return nullptr;
  QMdiSubWindow* sub = m_mdi->activeSubWindow();
  if (!sub) sub = m_mdi->currentSubWindow();
  return sub ? sub->widget() : nullptr;
}

QString PressRouter::activeName() const {
  QWidget* w = activeWindow();
  return w ? w->objectName() : QString();
}

QWidget* PressRouter::loadedWindow(const QString& name) const {
  if (m_mdi) {
    const QList<QMdiSubWindow*> subs = m_mdi->subWindowList();
    for (QMdiSubWindow* sub : subs)
      if (sub->widget() && sub->widget()->objectName() == name) return sub->widget();
  }
  const QWidgetList tops = QApplication::topLevelWidgets();
  for (QWidget* w : tops)
    if (w->objectName() == name) return w;
  return nullptr;
}

void PressRouter::focusWindow(QWidget* window) {
  if (!window) return;
  m_focusedFrom = systemActiveWindow();
  m_focused = window;
  if (m_mdi) {
    const QList<QMdiSubWindow*> subs = m_mdi->subWindowList();
    for (QMdiSubWindow* sub : subs) {
      if (sub->widget() == window) {
        m_mdi->setActiveSubWindow(sub);
        window->window()->activateWindow();
        return;
      }
    }
  }
  window->raise();
  window->activateWindow();
}

PresentationTarget* PressRouter::presentation(QWidget* window) const {
  if (!window || window->objectName() != kPresentation) return nullptr;
  return dynamic_cast<PresentationTarget*>(window);
}

ReportTarget* PressRouter::loadedReport() const {
  return dynamic_cast<ReportTarget*>(loadedWindow(kReport));
}

QSet<QString> PressRouter::teacherCollection() const {
  QWidget* active = activeWindow();
  if (!active) return {};
  const QString name = active->objectName();
  if (PresentationTarget* p = presentation(active)) return p->teacherRemotes();
  if (name == kReport || name.contains(kDrawing)) {
    if (ReportTarget* r = loadedReport()) return r->teacherRemotes();
  }
  return {};
}

bool PressRouter::clickIfActive(QAbstractButton* button) {
  if (!button || !button->isEnabled() || !button->isVisibleTo(button->window())) return false;
  button->click();
  return true;
}

bool PressRouter::stageOne(const receiver::AdmittedPress& admitted, const QTime& now) {
  const receiver::DugmeSinyali& press = admitted.press;
  bool pending = false;

  // 1. A new remote being registered.
  if (activeName() == kRegistration) {
    if (auto* r = dynamic_cast<RegistrationTarget*>(activeWindow()); r && r->capturingNewRemotes())
      r->captureNewRemote(press);
  }

  // 2. Clipping over the presentation: the press acts on the presentation.
  if (const QString n = activeName(); n == kClipping || n == kClippingMenu) {
    if (QWidget* shown = loadedWindow(kPresentation)) {
      focusWindow(shown);
      QCoreApplication::processEvents();
      pending = true;
    }
  }

  // 3. and 4. The presentation.
  if (PresentationTarget* p = presentation(activeWindow())) {
    const bool held = p->tileMarkingHeld();
    if (held && p->displayMode() != QLatin1String("normal")) p->releaseTileMarking();
    if (p->currentTab() == PresentationTarget::kTabRemoteTest) {
      if (receiver::TileBoard* tiles = p->remoteTestTiles(); tiles && !held)
        markTestTiles(*tiles, press, now, true);
      pending = true;
    } else if (p->remoteFrameVisible() && p->questionRunning()) {
      if (!p->freeQuestioning() || p->freeQuestionOpen()) {
        if (receiver::TileBoard* tiles = p->remoteTiles(); tiles && !held) {
          p->setCounts({});
          p->setCounts(markFreeTiles(*tiles, press, now));
        }
      }
      pending = true;
    } else if (admitted.teacher) {
      // Paused: the tiles stay as they are, but the teacher's remote must still be
      // able to resume or leave the question.
      pending = true;
    }
  }

  // 5. Attendance.
  if (activeName() == kAttendance) {
    if (auto* t = dynamic_cast<TileScreen*>(activeWindow())) {
      if (receiver::TileBoard* tiles = t->remoteTiles()) markTestTiles(*tiles, press, now, false);
    }
    pending = true;
  }

  // 6. Exit confirmation over the presentation: B confirms, A cancels in stage two.
  if (activeName() == kExitConfirmation) {
    focusWindow(loadedWindow(kPresentation));
    pending = true;
  }

  // 7. Report and drawing screens: only while the report takes teacher commands.
  if (const QString n = activeName(); n == kReport || n.contains(kDrawing)) {
    if (ReportTarget* r = loadedReport(); r && r->teacherCommandState()) pending = true;
  }

  // 8. The classroom game.
  if (activeName() == kGame) pending = true;

  qCDebug(lcPress).noquote()
      << QStringLiteral("Düğme Basıldı - %1-%2").arg(press.KumandaAdresi, press.Dugme);
  return pending;
}

void PressRouter::stageTwo(const QString& address, const QString& button) {
  QWidget* active = activeWindow();
  m_focused = nullptr;
  if (!active) return;
  const QString name = active->objectName();
  if (name != kPresentation) {
    if (name == kReport || name.contains(kDrawing)) {
      reportStageTwo(address, button);
    } else if (name == kAttendance || name == kGame) {
      if (auto* t = dynamic_cast<PressTarget*>(active)) t->takePress(address, button);
    }
    return;
  }
  if (PresentationTarget* p = presentation(active)) presentationStageTwo(p, address, button);
}

void PressRouter::reportStageTwo(const QString& address, const QString& button) {
  ReportTarget* r = loadedReport();
  if (!r || !r->teacherCommandState()) return;
  const QSet<QString> teachers = r->teacherRemotes();
  if (teachers.isEmpty() || !teachers.contains(address)) return;
  const int tab = r->currentTab();
  if (button == QLatin1String("A")) {
    clickIfActive(r->cmdNav(0));
  } else if (button == QLatin1String("B")) {
    clickIfActive(r->cmdNav(3));
  } else if (button == QLatin1String("E")) {
    clickIfActive(r->cmdNav(2));
  } else if (button == QLatin1String("X")) {
    clickIfActive(r->cmdCikis());
  } else if (button == QLatin1String("C")) {
    if (tab == ReportTarget::kTabQuestion)
      clickIfActive(r->cmdNavSoru(1));
    else if (tab == ReportTarget::kTabGeneral)
      clickIfActive(r->Command1());
    else if (tab == ReportTarget::kTabStudent && r->studentListRows() > 0)
      clickIfActive(r->cmdNav(4));
  } else if (button == QLatin1String("D")) {
    if (tab == ReportTarget::kTabQuestion)
      clickIfActive(r->cmdNavSoru(2));
    else if (tab == ReportTarget::kTabStudent && r->studentListRows() > 0)
      clickIfActive(r->cmdNav(1));
  }
}

void PressRouter::presentationStageTwo(PresentationTarget* p, const QString& address,
                                       const QString& button) {
  const int tab = p->currentTab();
  const bool teacher = p->teacherRemotes().contains(address);
  if (teacher && p->remoteFrameVisible()) {
    const bool confirming = !p->cikisTag().isEmpty();
    if (button == QLatin1String("X")) {
      QAbstractButton* exit = p->cmdCikis();
      if (exit && exit->isEnabled() && exit->isVisibleTo(exit->window()) && !confirming) {
        p->setCikisTag(QStringLiteral("Onay"));
        p->showExitConfirmation();
      }
    } else if (button == QLatin1String("B")) {
      if (confirming) {
        p->setCikisTag({});
        p->closeExitConfirmation();
        p->endTest();
      } else {
        clickIfActive(p->cmdNav(3));
      }
    } else if (button == QLatin1String("A") && confirming) {
      p->setCikisTag({});
      p->closeExitConfirmation();
    } else if (tab == PresentationTarget::kTabQuestion) {
      if (button == QLatin1String("A"))
        clickIfActive(p->cmdNav(0));
      else if (button == QLatin1String("C"))
        clickIfActive(p->cmdNav(p->freeQuestioning() ? 4 : 5));
      else if (button == QLatin1String("D"))
        clickIfActive(p->cmdNav(1));
      else if (button == QLatin1String("E"))
        clickIfActive(p->cmdNav(2));
    }
  } else if (!teacher && tab != PresentationTarget::kTabRemoteTest &&
             (!p->freeQuestioning() || p->freeQuestionOpen())) {
    // Everyone has answered: on to the next question by itself.
    receiver::TileBoard* tiles = p->remoteTiles();
    if (tiles && p->autoAdvance() && allAnswered(*tiles) && tab == PresentationTarget::kTabQuestion)
      clickIfActive(p->cmdNav(3));
  }
  if (p->currentTab() == PresentationTarget::kTabRemoteTest) p->refreshTestGridCounts();
}

}  // namespace shell
