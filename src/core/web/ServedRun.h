#pragma once

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>

#include "Messages.h"
#include "Result.h"
#include "activity/PressPipeline.h"
#include "delivery/RunSession.h"
#include "delivery/RunSettings.h"
#include "receiver/Clock.h"
#include "receiver/RadioSource.h"
#include "receiver/ReceiverLink.h"
#include "web/AnswerServer.h"

namespace store {
class Store;
}

namespace web {

// A run of a test answered from the students' browsers, without a window
// (derslik-cli run serve): the class's students answer under their remotes'
// addresses or their browser addresses, each question ends when its time is up
// or every student has answered, the pages before and after the questions are
// passed as a teacher would, and the run is recorded as any other. The web
// server listens exactly while the run is open.
//
//   web::ServedRun served(store, messages);
//   served.setListening([](const web::AnswerServer& s) { print(s.url(), s.joinCode()); });
//   Result<reports::RunKey> key = served.run(options);
class ServedRun {
 public:
  struct Options {
    QString testNo;
    QString className;
    delivery::RunSettings settings;
    QDateTime at = QDateTime::currentDateTime();  // when the run opens
    AnswerServer::Options server;
    // The remotes too, through the USB receiver when one is plugged.
    bool receiver = false;
  };

  ServedRun(store::Store& store, Messages& messages);
  ~ServedRun();

  // Called once the server listens, before the first question.
  void setListening(std::function<void(const AnswerServer&)> listening) {
    m_listening = std::move(listening);
  }
  Result<reports::RunKey> run(const Options& options);

  delivery::RunSession* session() const { return m_session.get(); }
  AnswerServer* server() const { return m_server.get(); }

 private:
  // One step of real time: the clock follows it, the session ticks, and the
  // pages around the questions are passed.
  void step();

  store::Store& m_store;
  AgreeingMessages m_teacher;
  std::function<void(const AnswerServer&)> m_listening;
  std::unique_ptr<receiver::ManualClock> m_clock;
  std::unique_ptr<activity::PressPipeline> m_pipeline;
  std::unique_ptr<delivery::RunSession> m_session;
  std::unique_ptr<AnswerServer> m_server;
  std::unique_ptr<receiver::ReceiverLink> m_receiver;
  std::unique_ptr<receiver::RadioSource> m_radio;
  qint64 m_realMs = 0;
};

}  // namespace web
