#pragma once

#include <QMainWindow>
#include <QMdiArea>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "../../core/receiver/FakeClock.h"
#include "receiver/ReportDecoder.h"
#include "receiver/SimulatedReceiver.h"
#include "shell/ReceiverController.h"
#include "store/DataFolder.h"
#include "store/Parameters.h"

// A main window with its screen area and a receiver controller on a simulated
// receiver that answers only when told, with a clock the test moves.
struct ShellHarness {
  QTemporaryDir dir;
  std::unique_ptr<QMainWindow> main;
  QMdiArea* mdi = nullptr;
  std::unique_ptr<shell::ReceiverController> controller;
  receiver::SimulatedReceiver* sim = nullptr;
  FakeClock clock;

  void start(bool connect = true) {
    QVERIFY(dir.isValid());
    store::DataFolder::setRoot(dir.path());
    store::UserSettings::setFile(dir.filePath(QStringLiteral("ayar.ini")));
    main = std::make_unique<QMainWindow>();
    main->setObjectName(QStringLiteral("MDIForm1"));
    mdi = new QMdiArea(main.get());
    main->setCentralWidget(mdi);
    main->resize(1280, 800);
    controller = std::make_unique<shell::ReceiverController>(mdi);
    controller->setClock(&clock);
    auto link = std::make_unique<receiver::SimulatedReceiver>(receiver::SimulationOptions{});
    link->setPlaying(false);
    sim = link.get();
    controller->setLink(std::move(link));
    main->statusBar();
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    if (connect) {
      QVERIFY(controller->ConnectToHID());
      QTRY_VERIFY(controller->receiverPresent());
    }
  }
  // A report from the receiver, through OnRead.
  void report(int hi, int lo, const QString& letter) {
    sim->inject(receiver::pressReport(hi, lo, letter));
  }
  void press(const QString& address, const QString& letter) {
    controller->DugmeBasildi(address, letter, QStringLiteral("1"));
  }
  // The next Timer2 tick, if one is due.
  bool tick() {
    if (!controller->Timer2().isActive()) return false;
    controller->Timer2_Timer();
    return true;
  }
};
