#pragma once

// Stand-ins for the screens that listen to the remotes: plain widgets under a
// real window name whose activity records every press it gets.

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStringList>
#include <QWidget>

#include "activity/PressConsumer.h"
#include "activity/RemoteTiles.h"
#include "framework/PressRouter.h"

inline QMdiSubWindow* addScreen(QMdiArea* mdi, QWidget* screen) {
  QMdiSubWindow* sub = mdi->addSubWindow(screen);
  sub->show();
  mdi->setActiveSubWindow(sub);
  return sub;
}

class StandInScreen : public QWidget {
 public:
  explicit StandInScreen(const QString& name) { setObjectName(name); }
};

// Marks its tiles as a question does and keeps "address:letter" of each press,
// with "*" after the teacher's.
class StandInActivity : public QWidget, public activity::PressConsumer {
 public:
  explicit StandInActivity(const QString& name = QStringLiteral("frmOnizleme"),
                           const QStringList& addresses = {QStringLiteral("1-1"),
                                                           QStringLiteral("2-2"),
                                                           QStringLiteral("3-3")})
      : tiles(addresses) {
    setObjectName(name);
  }
  QSet<QString> teacherRemotes() const override { return teachers; }
  void press(const receiver::AdmittedPress& p) override {
    got.append(p);
    received << p.press.KumandaAdresi + QLatin1Char(':') + p.press.Dugme +
                    (p.teacher ? QStringLiteral("*") : QString());
    if (!p.teacher) tiles.mark(p.press, p.at);
  }

  QSet<QString> teachers{QStringLiteral("99-99")};
  activity::RemoteTiles tiles;
  QList<receiver::AdmittedPress> got;
  QStringList received;
};

// Adds the screen to the main window's area and attaches its activity.
inline void addActivity(QMdiArea* mdi, framework::PressRouter& router, StandInActivity* screen) {
  addScreen(mdi, screen);
  router.attach(screen, screen);
}
