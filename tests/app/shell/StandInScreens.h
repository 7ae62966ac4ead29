#pragma once

// Stand-ins for the screens the routing serves, under their real window names.
// They implement the routing interfaces with plain widgets and record what the
// routing did to them.

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include <array>

#include "receiver/Colors.h"
#include "shell/PresentationTarget.h"
#include "shell/PressTarget.h"
#include "shell/RegistrationTarget.h"
#include "shell/ReportTarget.h"
#include "shell/TileScreen.h"

class MemoryBoard : public receiver::TileBoard {
 public:
  struct Tile {
    QString address;
    QString tag = QStringLiteral("|");
    quint32 color = receiver::colors::kNotAnswered;
    QString toolTip;
  };
  void setAddresses(const QStringList& addresses) {
    tiles.clear();
    for (const QString& a : addresses)
      tiles.append({a, QStringLiteral("|"), receiver::colors::kNotAnswered, {}});
  }
  int tileCount() const override { return int(tiles.size()); }
  QString tileAddress(int i) const override { return tiles[i].address; }
  QString tileTag(int i) const override { return tiles[i].tag; }
  quint32 tileColor(int i) const override { return tiles[i].color; }
  void setTile(int i, const QString& tag, quint32 color) override {
    tiles[i].tag = tag;
    tiles[i].color = color;
    ++changes;
  }
  void setTileToolTip(int i, const QString& t) override { tiles[i].toolTip = t; }
  const Tile* find(const QString& address) const {
    for (const Tile& t : tiles)
      if (t.address == address) return &t;
    return nullptr;
  }
  QList<Tile> tiles;
  int changes = 0;
};

// Buttons that count their clicks.
class ButtonRow : public QWidget {
 public:
  explicit ButtonRow(int n, QWidget* parent) : QWidget(parent) {
    auto* box = new QVBoxLayout(this);
    for (int i = 0; i < n; ++i) {
      auto* b = new QPushButton(QString::number(i), this);
      box->addWidget(b);
      buttons.append(b);
      clicks.append(0);
      QObject::connect(b, &QPushButton::clicked, this, [this, i] { ++clicks[i]; });
    }
  }
  QList<QPushButton*> buttons;
  QList<int> clicks;
  int total() const { return std::accumulate(clicks.begin(), clicks.end(), 0); }
};

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

class StandInPresentation : public QWidget, public shell::PresentationTarget {
 public:
  StandInPresentation() : nav(6, this), exitRow(1, this) {
    setObjectName(QStringLiteral("frmOnizleme"));
    auto* box = new QVBoxLayout(this);
    box->addWidget(&nav);
    box->addWidget(&exitRow);
  }
  int currentTab() const override { return tab; }
  QSet<QString> teacherRemotes() const override { return teachers; }
  receiver::TileBoard* remoteTestTiles() override { return &testTiles; }
  receiver::TileBoard* remoteTiles() override { return hasRemotes ? &tiles : nullptr; }
  bool remoteFrameVisible() const override { return frameVisible; }
  bool questionRunning() const override { return running; }
  bool freeQuestioning() const override { return free; }
  bool freeQuestionOpen() const override { return green; }
  void setCounts(const receiver::TileCounts& c) override {
    counts = c;
    ++countUpdates;
  }
  bool autoAdvance() const override { return advance; }
  void refreshTestGridCounts() override { ++gridRefreshes; }
  bool tileMarkingHeld() const override { return held; }
  QString displayMode() const override { return mode; }
  void releaseTileMarking() override { held = false; }
  QAbstractButton* cmdNav(int i) const override { return nav.buttons[i]; }
  QAbstractButton* cmdCikis() const override { return exitRow.buttons[0]; }
  QString cikisTag() const override { return tag; }
  void setCikisTag(const QString& t) override { tag = t; }
  void showExitConfirmation() override {
    confirmation = new StandInScreen(QStringLiteral("frmCikisOnay"));
    addScreen(mdi, confirmation);
  }
  void closeExitConfirmation() override {
    if (confirmation) confirmation->parentWidget()->deleteLater();
    confirmation = nullptr;
    ++confirmationsClosed;
  }
  void endTest() override { ++ended; }

  ButtonRow nav;
  ButtonRow exitRow;
  QMdiArea* mdi = nullptr;
  int tab = 2;
  QSet<QString> teachers{QStringLiteral("99-99")};
  MemoryBoard tiles, testTiles;
  bool hasRemotes = true, frameVisible = true, running = true, free = false, green = false;
  bool advance = false, held = false;
  QString mode = QStringLiteral("normal");
  QString tag;
  receiver::TileCounts counts;
  int countUpdates = 0, gridRefreshes = 0, ended = 0, confirmationsClosed = 0;
  QWidget* confirmation = nullptr;
};

class StandInReport : public QWidget, public shell::ReportTarget {
 public:
  StandInReport() : nav(5, this), navSoru(3, this), other(2, this) {
    setObjectName(QStringLiteral("frmRaporlar"));
    auto* box = new QVBoxLayout(this);
    box->addWidget(&nav);
    box->addWidget(&navSoru);
    box->addWidget(&other);
  }
  bool teacherCommandState() const override { return commands; }
  QSet<QString> teacherRemotes() const override { return teachers; }
  int currentTab() const override { return tab; }
  int studentListRows() const override { return rows; }
  QAbstractButton* cmdNav(int i) const override { return nav.buttons[i]; }
  QAbstractButton* cmdNavSoru(int i) const override { return navSoru.buttons[i]; }
  QAbstractButton* cmdCikis() const override { return other.buttons[0]; }
  QAbstractButton* Command1() const override { return other.buttons[1]; }
  int totalClicks() const { return nav.total() + navSoru.total() + other.total(); }

  ButtonRow nav, navSoru, other;  // other: cmdCikis, Command1
  bool commands = true;
  QSet<QString> teachers{QStringLiteral("99-99")};
  int tab = 0;
  int rows = 3;
};

class StandInRegistration : public QWidget, public shell::RegistrationTarget {
 public:
  StandInRegistration() { setObjectName(QStringLiteral("frmKumandaTanimlama")); }
  bool capturingNewRemotes() const override { return capturing; }
  void captureNewRemote(const receiver::DugmeSinyali& p) override { captured.append(p); }
  bool capturing = true;
  QList<receiver::DugmeSinyali> captured;
};

class StandInAttendance : public QWidget, public shell::TileScreen, public shell::PressTarget {
 public:
  explicit StandInAttendance(const QString& name = QStringLiteral("frmYoklama")) {
    setObjectName(name);
  }
  receiver::TileBoard* remoteTiles() override { return &tiles; }
  void takePress(const QString& a, const QString& b) override {
    taken.append(a + QLatin1Char('-') + b);
  }
  MemoryBoard tiles;
  QStringList taken;
};
