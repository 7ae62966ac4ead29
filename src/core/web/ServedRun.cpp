#include "web/ServedRun.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "delivery/RunSetup.h"
#include "receiver/HidrawReceiver.h"
#include "store/Store.h"
#include "web/Roster.h"

namespace web {

namespace {
constexpr int kStepMs = 20;
}

ServedRun::ServedRun(store::Store& store, Messages& messages)
    : m_store(store), m_teacher(messages) {}

ServedRun::~ServedRun() {
  // The sources go first: no press reaches a session being torn down.
  m_receiver.reset();
  m_server.reset();
  m_session.reset();
}

Result<reports::RunKey> ServedRun::run(const Options& options) {
  using Key = Result<reports::RunKey>;
  using delivery::RunSetup;
  RunSetup setup(m_store);
  // Nobody at the board presses "next": a question ends with its time or when
  // the whole class has answered.
  delivery::RunSettings settings = options.settings;
  settings.goOnWhenAllAnswered = true;
  Result<RunSetup::Start> start = setup.unattendedStart(options.className, settings);
  if (!start) return Key::failure(start.error());
  Result<QList<RosterEntry>> roster = classRoster(m_store, options.className);
  if (!roster) return Key::failure(roster.error());
  if (roster->isEmpty())
    return Key::failure(QStringLiteral("Sınıfta öğrenci yok: ") + options.className);
  Result<RunSetup::TestSummary> test = setup.summary(options.testNo);
  if (!test) return Key::failure(test.error());
  start.value().test = test.value();
  start.value().level = test->level;
  for (const RosterEntry& e : roster.value())
    start.value().students.append({e.address, e.name, e.surname});
  const std::optional<delivery::RunPlan> plan = setup.start(start.value(), m_teacher);
  if (!plan) return Key::failure(RunSetup::emptyTestText());

  m_clock = std::make_unique<receiver::ManualClock>(options.at);
  m_pipeline = std::make_unique<activity::PressPipeline>(m_clock.get());
  m_pipeline->setThreeButtonSetting(m_store.institution().threeButtonSetting);
  m_session = std::make_unique<delivery::RunSession>(m_store, m_teacher, *m_clock);
  m_pipeline->setConsumer(m_session.get());
  if (Status s = m_session->open(plan.value()); !s) return Key::failure(s.error());

  m_server = std::make_unique<AnswerServer>(*m_pipeline, *m_session, roster.value(), m_clock.get());
  if (Status s = m_server->start(options.server); !s) return Key::failure(s.error());
  QObject::connect(m_session.get(), &delivery::RunSession::changed, m_server.get(),
                   &AnswerServer::stateChanged);
  if (options.receiver) {
    // Both sources feed the same pipeline: a student may press their remote or
    // their browser, and the first letter is final either way.
    m_radio = std::make_unique<receiver::RadioSource>(*m_pipeline);
    m_receiver = std::make_unique<receiver::HidrawReceiver>();
    QObject::connect(m_receiver.get(), &receiver::ReceiverLink::reportReadable, [this] {
      while (const std::optional<QByteArray> bytes = m_receiver->Read())
        (void)m_radio->read(*bytes);
    });
    QObject::connect(m_receiver.get(), &receiver::ReceiverLink::deviceListChanged,
                     [this] { m_receiver->SetReadNotify(true); });
    (void)m_receiver->Connect();
  }
  if (m_listening) m_listening(*m_server);

  QEventLoop loop;
  QObject::connect(m_session.get(), &delivery::RunSession::closeRequested, &loop,
                   &QEventLoop::quit);
  QElapsedTimer real;
  real.start();
  m_realMs = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    const qint64 now = real.elapsed();
    m_clock->advance(now - m_realMs);
    m_realMs = now;
    step();
  });
  timer.start(kStepMs);
  loop.exec();
  timer.stop();
  if (m_receiver) m_receiver->Disconnect();
  m_server->stop();
  return m_session->runKey();
}

void ServedRun::step() {
  using Page = delivery::RunSession::Page;
  using Command = delivery::RunSession::Command;
  m_session->tick();
  switch (m_session->page()) {
    case Page::StartScreen:
    case Page::QuestionStatistics:
    case Page::RemoteTest:
    case Page::FinalStatistics:
      m_session->trigger(Command::Next);
      break;
    case Page::Countdown:
      // The 3-2-1 is for a class watching the board; the devices wait for the
      // first question instead.
      m_clock->advance(1000);
      m_session->tick();
      break;
    case Page::Report:
      m_session->reportClosed();
      break;
    case Page::Opened:
    case Page::Question:
    case Page::Finished:
      break;
  }
}

}  // namespace web
