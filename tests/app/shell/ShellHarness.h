#pragma once

#include <QMainWindow>
#include <QMdiArea>
#include <QStatusBar>
#include <QtTest>

#include <memory>

#include "../../core/receiver/FakeClock.h"
#include "TempDataFolder.h"
#include "framework/ReceiverController.h"
#include "receiver/ReportDecoder.h"
#include "receiver/SimulatedReceiver.h"

// A main window with its screen area and a receiver controller on a simulated
// receiver that answers only when told, with a clock the test moves; a data
// folder of its own (its store is open).
struct ShellHarness {
  std::unique_ptr<TempDataFolder> dir;
  std::unique_ptr<QMainWindow> main;
  QMdiArea* mdi = nullptr;
  std::unique_ptr<framework::ReceiverController> controller;
  receiver::SimulatedReceiver* sim = nullptr;
  FakeClock clock;

  void start(bool connect = true) {
    QVERIFY(TempDataFolder::renew(dir));
    main = std::make_unique<QMainWindow>();
    main->setObjectName(QStringLiteral("MDIForm1"));
    mdi = new QMdiArea(main.get());
    main->setCentralWidget(mdi);
    main->resize(1280, 800);
    controller = std::make_unique<framework::ReceiverController>(mdi);
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
  void stop() {
    controller.reset();
    main.reset();
    dir.reset();
  }
  store::Store& store() { return dir->store(); }
  // A report from the receiver, through OnRead.
  void report(int hi, int lo, const QString& letter) {
    sim->inject(receiver::pressReport(hi, lo, letter));
  }
  void press(const QString& address, const QString& letter) {
    controller->DugmeBasildi(address, letter, QStringLiteral("1"));
  }
};
