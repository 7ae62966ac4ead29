#include "screens/delivery/frmOnizleme.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QValueAxis>

#include "delivery/JournalSender.h"
#include "delivery/LessonSetup.h"
#include "framework/CommandSide.h"
#include "framework/PresentationDisplay.h"
#include "framework/QuestionPicture.h"
#include "framework/RunTilesView.h"
#include "framework/TouchSupport.h"
#include "framework/frmKirpma.h"
#include "reports/RunReport.h"
#include "screens/delivery/QuestionMediaPlayer.h"
#include "screens/delivery/frmSerbestTamEkran.h"
#include "store/Store.h"

namespace {

using Page = delivery::RunSession::Page;

// The pages of m_pages, in the order they are added.
enum PageIndex {
  kStartPage,
  kStatisticsPage,
  kRemoteTestPage,
  kCountdownPage,
  kQuestionPage,
  kReportPage,
  kFinalPage,
  kFinishedPage,
};
// The pages of m_answerArea.
enum AnswerIndex { kTilesArea, kCountsArea, kVirtualArea };
// The pages of m_questionArea.
enum QuestionIndex { kPictureArea, kVideoArea, kVotingArea };

QLabel* makeLabel(const QString& name, const QString& text, QWidget* parent,
                  Qt::Alignment align = Qt::AlignCenter) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->setAlignment(align);
  return l;
}

QTableWidget* makeTable(const QString& name, const QStringList& headers, QWidget* parent) {
  auto* t = new QTableWidget(0, int(headers.size()), parent);
  t->setObjectName(name);
  t->setHorizontalHeaderLabels(headers);
  t->verticalHeader()->hide();
  t->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  t->setEditTriggers(QAbstractItemView::NoEditTriggers);
  t->setSelectionMode(QAbstractItemView::NoSelection);
  t->setFocusPolicy(Qt::NoFocus);
  return t;
}

void setRow(QTableWidget* table, int row, const QStringList& cells) {
  if (table->rowCount() <= row) table->setRowCount(row + 1);
  for (int c = 0; c < cells.size(); ++c) {
    auto* item = new QTableWidgetItem(cells.at(c));
    item->setTextAlignment(Qt::AlignCenter);
    table->setItem(row, c, item);
  }
}

// The final page's chart: the run's right, wrong and blank answers side by side,
// grouped under the run (its date with start and end), in the colours of the tiles
// and the report.
void showFinalChart(QChartView* view, const delivery::RunStatistics& s) {
  auto* series = new QBarSeries;
  const struct {
    QString name;
    int value;
    QColor colour;
  } bars[] = {{QStringLiteral("Doğru"), s.correct, QColor(0x2e, 0xa0, 0x43)},
              {QStringLiteral("Yanlış"), s.wrong, QColor(0xd9, 0x30, 0x25)},
              {QStringLiteral("Boş"), s.blank, QColor(0x9e, 0x9e, 0x9e)}};
  for (const auto& b : bars) {
    auto* set = new QBarSet(b.name);
    set->append(b.value);
    set->setColor(b.colour);
    series->append(set);
  }
  series->setLabelsVisible(true);
  auto* chart = new QChart;
  chart->addSeries(series);
  chart->setTitle(QStringLiteral("Doğru-Yanlış İstatistiği"));
  QFont title = chart->titleFont();
  title.setPixelSize(28);
  title.setBold(true);
  chart->setTitleFont(title);
  QFont axisFont = chart->titleFont();
  axisFont.setPixelSize(18);
  axisFont.setBold(false);
  auto* groups = new QBarCategoryAxis;
  groups->append(s.label);
  groups->setLabelsFont(axisFont);
  chart->addAxis(groups, Qt::AlignBottom);
  series->attachAxis(groups);
  auto* counts = new QValueAxis;
  counts->setRange(0, std::max({s.correct, s.wrong, s.blank, 1}) * 1.1);
  counts->applyNiceNumbers();
  counts->setLabelFormat(QStringLiteral("%d"));
  counts->setLabelsFont(axisFont);
  chart->addAxis(counts, Qt::AlignLeft);
  series->attachAxis(counts);
  chart->legend()->setAlignment(Qt::AlignBottom);
  QFont legend = chart->legend()->font();
  legend.setPixelSize(22);
  chart->legend()->setFont(legend);
  QChart* old = view->chart();
  view->setChart(chart);
  delete old;
}

void setPixelSize(QWidget* w, int pixels, bool bold = false) {
  QFont f = w->font();
  f.setPixelSize(std::max(10, pixels));
  f.setBold(bold);
  w->setFont(f);
}

}  // namespace

frmOnizleme::frmOnizleme(const ScreenContext& context, const receiver::Clock& clock,
                         QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_context(context),
      m_session(context.store, context.messages, clock) {
  setObjectName(QStringLiteral("frmOnizleme"));
  setWindowTitle(QStringLiteral("Önizleme"));
  setAttribute(Qt::WA_DeleteOnClose);
  build();
  connect(&m_session, &delivery::RunSession::changed, this, &frmOnizleme::refresh);
  connect(&m_session, &delivery::RunSession::tileChanged, this, [this](int index) {
    if (m_session.page() == Page::RemoteTest)
      m_testTiles->tileChanged(index);
    else
      m_tiles->tileChanged(index);
    refreshCounts();
  });
  connect(&m_session, &delivery::RunSession::questionShown, this,
          [this](int, const QString& mediaFile) {
            // Every tile is the new question's: its stored answers when it was
            // seen before, else none. Only single tiles repaint on a press.
            m_tiles->update();
            showPicture();
            if (mediaFile.isEmpty())
              m_media->stop();
            else
              m_media->play(mediaFile);
          });
  connect(&m_session, &delivery::RunSession::replayRequested, this,
          [this](const QString& mediaFile) { m_media->play(mediaFile); });
  connect(&m_session, &delivery::RunSession::reportRequested, this, &frmOnizleme::reportRequested);
  connect(&m_session, &delivery::RunSession::closeRequested, this, &frmOnizleme::finish);
}

frmOnizleme::~frmOnizleme() = default;

activity::PressConsumer& frmOnizleme::presses() { return m_session; }

QPushButton* frmOnizleme::addButton(Command command, const QString& name, QWidget* parent) {
  auto* b = new QPushButton(parent);
  b->setObjectName(name);
  b->setFocusPolicy(Qt::NoFocus);
  b->setAutoDefault(false);
  b->setMinimumHeight(48);
  connect(b, &QPushButton::clicked, this, [this, command] { m_session.trigger(command); });
  m_buttons.insert(command, b);
  return b;
}

namespace {

// On the teacher's side only, never over the class's picture: the board keeps
// the answers while the school's server does not answer.
QLabel* serverAwayLabel(const store::Store& store, QWidget* parent) {
  auto* label = new QLabel(delivery::JournalSender::offlineText(), parent);
  label->setObjectName(QStringLiteral("lblSunucuYok"));
  label->setWordWrap(true);
  label->setStyleSheet(QStringLiteral("color:#8a5a00"));
  label->hide();
  if (delivery::JournalSender* journal = delivery::JournalSender::of(store)) {
    label->setVisible(journal->offline());
    QObject::connect(journal, &delivery::JournalSender::offlineChanged, label, &QLabel::setVisible);
  }
  return label;
}

}  // namespace

void frmOnizleme::build() {
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(0xf4, 0xf6, 0xfa));
  pal.setColor(QPalette::WindowText, Qt::black);
  setPalette(pal);

  // ---- top: the test, the position, the countdown
  auto* top = new QWidget(this);
  top->setObjectName(QStringLiteral("frameUst"));
  m_lblTestAdi = makeLabel(QStringLiteral("lblTestAdi"), {}, top, Qt::AlignLeft | Qt::AlignVCenter);
  m_lblSayac = makeLabel(QStringLiteral("lblSayac"), {}, top);
  m_lblSoruNo = makeLabel(QStringLiteral("lblSoruNo"), {}, top);
  m_lblSoruNo->setStyleSheet(QStringLiteral("color:#555"));
  m_lblSureGorunen = makeLabel(QStringLiteral("lblSureGorunen"), {}, top);
  m_lblTestDurum =
      makeLabel(QStringLiteral("lblTestDurum"), delivery::RunSession::pausedText(), top);
  m_lblTestDurum->setStyleSheet(QStringLiteral("color:#c00000"));
  m_lblCevap = makeLabel(QStringLiteral("lblCevap"), {}, top);
  m_lblCevap->setStyleSheet(QStringLiteral("color:#006400"));
  m_progress = new QProgressBar(top);
  m_progress->setObjectName(QStringLiteral("ProgressBar1"));
  m_progress->setTextVisible(false);
  auto* topRow = new QHBoxLayout;
  topRow->addWidget(m_lblTestAdi, 3);
  topRow->addWidget(m_lblTestDurum, 2);
  topRow->addWidget(m_lblCevap, 2);
  topRow->addWidget(m_lblSoruNo, 1);
  topRow->addWidget(m_lblSayac, 1);
  topRow->addWidget(m_lblSureGorunen, 1);
  auto* topBox = new QVBoxLayout(top);
  topBox->setContentsMargins(12, 6, 12, 0);
  topBox->addLayout(topRow);
  topBox->addWidget(m_progress);

  // ---- the pages
  m_pages = new QStackedWidget(this);
  m_pages->setObjectName(QStringLiteral("pages"));

  m_startPicture = new QuestionPicture(m_pages);
  m_startPicture->setObjectName(QStringLiteral("imgBaslangic"));
  m_pages->addWidget(m_startPicture);

  m_statistics =
      makeTable(QStringLiteral("SlisteSoruIstatistigi"),
                {QStringLiteral("SEVİYE"), QStringLiteral("DERS"), QStringLiteral("ÜNİTE"),
                 QStringLiteral("SORU SAYISI"), QStringLiteral("SÜRE")},
                m_pages);
  m_pages->addWidget(m_statistics);

  auto* remoteTest = new QWidget(m_pages);
  m_lblRemoteTestHelp =
      makeLabel(QStringLiteral("lblKumandaTest"),
                QStringLiteral("Kumanda testi: herkes kumandasında bir harfe bassın.\n"
                               "Harf gönderen kumandalar teste katılır."),
                remoteTest);
  m_lblRemoteTestHelp->setWordWrap(true);
  m_testTiles = new RunTilesView(remoteTest);
  m_testTiles->setObjectName(QStringLiteral("frameKumandaTest"));
  m_testTiles->setTiles(&m_session.testTiles(), &m_session.names());
  auto* remoteBox = new QVBoxLayout(remoteTest);
  remoteBox->addWidget(m_lblRemoteTestHelp);
  remoteBox->addWidget(m_testTiles, 1);
  m_pages->addWidget(remoteTest);

  m_lblSayacBuyuk = makeLabel(QStringLiteral("frmSayac"), {}, m_pages);
  m_lblSayacBuyuk->setStyleSheet(QStringLiteral("color:#003080"));
  m_pages->addWidget(m_lblSayacBuyuk);

  auto* question = new QWidget(m_pages);
  m_questionArea = new QStackedWidget(question);
  m_questionPicture = new QuestionPicture(m_questionArea);
  m_questionArea->addWidget(m_questionPicture);
  m_videoHolder = new QWidget(m_questionArea);
  new QVBoxLayout(m_videoHolder);
  m_videoHolder->layout()->setContentsMargins(0, 0, 0, 0);
  m_questionArea->addWidget(m_videoHolder);
  m_media = new QuestionMediaPlayer(m_videoHolder, this);
  connect(m_media, &QuestionMediaPlayer::videoShown, this, [this](bool on) {
    if (on && m_videoHolder->layout()->count() == 0)
      m_videoHolder->layout()->addWidget(m_media->videoWidget());
    m_media->videoWidget()->setVisible(on);
    if (!m_session.freeMode()) m_questionArea->setCurrentIndex(on ? kVideoArea : kPictureArea);
  });
  m_lblOylama = makeLabel(QStringLiteral("lblOylama"), {}, m_questionArea);
  m_questionArea->addWidget(m_lblOylama);
  m_frameZemin = new QFrame(question);
  m_frameZemin->setObjectName(QStringLiteral("frameZemin"));
  m_frameZemin->setAutoFillBackground(true);
  auto* frameBox = new QVBoxLayout(m_frameZemin);
  frameBox->setContentsMargins(0, 0, 0, 0);
  frameBox->addWidget(m_questionArea);
  connect(m_media, &QuestionMediaPlayer::failed, this,
          [this](const QString& text) { m_context.store.log(text); });
  m_answerArea = new QStackedWidget(question);
  m_tiles = new RunTilesView(m_answerArea);
  m_tiles->setTiles(&m_session.tiles(), &m_session.names());
  m_answerArea->addWidget(m_tiles);
  auto* frameTablo = new QWidget(m_answerArea);
  frameTablo->setObjectName(QStringLiteral("frameTablo"));
  auto* tablo = new QVBoxLayout(frameTablo);
  const QList<QPair<QLabel**, activity::RemoteTiles::State>> big = {
      {&m_tabloCevapVeren, activity::RemoteTiles::State::Answered},
      {&m_tabloBos, activity::RemoteTiles::State::Blank},
      {&m_tabloCevapVermeyen, activity::RemoteTiles::State::NotAnswered}};
  for (const auto& [slot, state] : big) {
    *slot = makeLabel(QString(), {}, frameTablo);
    (*slot)->setStyleSheet(QStringLiteral("background:%1;border:2px solid #555;border-radius:8px")
                               .arg(RunTilesView::colorOf(state).name()));
    tablo->addWidget(*slot, 1);
  }
  m_answerArea->addWidget(frameTablo);
  m_lblVirtual = makeLabel(QStringLiteral("lblSanalKumanda"),
                           QStringLiteral("Cevaplar sanal kumandadan verilir."), m_answerArea);
  m_lblVirtual->setWordWrap(true);
  m_answerArea->addWidget(m_lblVirtual);
  auto* questionBox = new QHBoxLayout(question);
  questionBox->setContentsMargins(0, 0, 0, 0);
  questionBox->addWidget(m_frameZemin, 3);
  questionBox->addWidget(m_answerArea, 2);
  m_pages->addWidget(question);

  auto* report = new QWidget(m_pages);
  m_lblReport = makeLabel(QStringLiteral("lblSoruRaporu"), {}, report);
  m_lblReport->setWordWrap(true);
  m_cmdTesteDevam = addButton(Command::Continue, QStringLiteral("cmdTesteDevam"), report);
  m_cmdTesteDevam->setMinimumHeight(56);
  auto* reportBox = new QVBoxLayout(report);
  reportBox->addStretch(1);
  reportBox->addWidget(m_lblReport);
  reportBox->addWidget(m_cmdTesteDevam, 0, Qt::AlignCenter);
  reportBox->addStretch(1);
  m_pages->addWidget(report);

  auto* finalPage = new QWidget(m_pages);
  auto* finalRow = new QHBoxLayout(finalPage);
  m_final = makeTable(QStringLiteral("SlisteIstatistik"),
                      {QStringLiteral("Uygulama Sonucu"), QStringLiteral("Değer")}, finalPage);
  m_finalChart = new QChartView(finalPage);
  m_finalChart->setObjectName(QStringLiteral("chartIstatistik"));
  m_finalChart->setRenderHint(QPainter::Antialiasing);
  // Long values (the run's label, who was left out) wrap instead of being cut.
  m_final->setWordWrap(true);
  finalRow->addWidget(m_final, 1);
  finalRow->addWidget(m_finalChart, 1);
  m_pages->addWidget(finalPage);

  m_lblNotice = makeLabel(QStringLiteral("lblSonuc"), {}, m_pages);
  m_lblNotice->setStyleSheet(QStringLiteral("color:#003080"));
  m_pages->addWidget(m_lblNotice);

  // ---- the counters (lblCevapVeren, lblBos, lblCevapVermeyen)
  m_counters = new QWidget(this);
  m_lblCevapVeren = makeLabel(QStringLiteral("lblCevapVeren"), {}, m_counters);
  m_lblBos = makeLabel(QStringLiteral("lblBos"), {}, m_counters);
  m_lblCevapVermeyen = makeLabel(QStringLiteral("lblCevapVermeyen"), {}, m_counters);
  auto* counterRow = new QHBoxLayout(m_counters);
  counterRow->setContentsMargins(12, 0, 12, 0);
  counterRow->addWidget(m_lblCevapVeren);
  counterRow->addWidget(m_lblBos);
  counterRow->addWidget(m_lblCevapVermeyen);

  // ---- the exit confirmation
  m_confirm = new QFrame(this);
  m_confirm->setObjectName(QStringLiteral("frameCikisOnay"));
  m_confirm->setFrameShape(QFrame::Box);
  m_confirm->setStyleSheet(
      QStringLiteral("#frameCikisOnay{background:#fff3cd;border:3px solid #c00000;}"));
  m_lblConfirm =
      makeLabel(QStringLiteral("lblCikisOnay"), delivery::RunSession::exitQuestion(), m_confirm);
  auto* confirmRow = new QHBoxLayout(m_confirm);
  confirmRow->addWidget(m_lblConfirm, 1);
  confirmRow->addWidget(addButton(Command::ConfirmExit, QStringLiteral("cmdCikisEvet"), m_confirm));
  confirmRow->addWidget(addButton(Command::CancelExit, QStringLiteral("cmdCikisHayir"), m_confirm));

  // ---- the buttons (cmdNav, cmdSoruCevapGoster, cmdCikis): a row along the
  // bottom, or on a board a column on the teacher's side, the most used first
  // and low enough for anyone to reach.
  auto* buttons = new QWidget(this);
  buttons->setObjectName(QStringLiteral("frameKomutlar"));
  const bool column = framework::commandsInColumn();
  QLabel* serverAway = serverAwayLabel(m_context.store, buttons);
  if (column) {
    auto* commandColumn = new QVBoxLayout(buttons);
    commandColumn->setContentsMargins(12, 8, 12, 8);
    commandColumn->addStretch(3);
    for (const auto& [command, name] :
         {std::pair{Command::Next, "cmdNav3"}, std::pair{Command::ShowAnswer, "cmdNav4"},
          std::pair{Command::Solution, "cmdSoruCevapGoster"}, std::pair{Command::Replay, "cmdNav5"},
          std::pair{Command::Pause, "cmdNav2"}, std::pair{Command::ToggleCounts, "cmdNav1"},
          std::pair{Command::Previous, "cmdNav0"}, std::pair{Command::Exit, "cmdCikis"}})
      commandColumn->addWidget(addButton(command, QString::fromLatin1(name), buttons));
    // "Teste Devam Et" of the report after a question stands first, on the same side.
    reportBox->removeWidget(m_cmdTesteDevam);
    m_cmdTesteDevam->setParent(buttons);
    commandColumn->insertWidget(1, m_cmdTesteDevam);
    commandColumn->addSpacing(16);
    commandColumn->addWidget(framework::sideSwitchButton(
        buttons, [this](board::CommandSide side) { placeCommands(side); }));
    commandColumn->addWidget(serverAway);
    commandColumn->addStretch(1);
  } else {
    auto* buttonRow = new QHBoxLayout(buttons);
    buttonRow->setContentsMargins(12, 0, 12, 8);
    buttonRow->addWidget(addButton(Command::Previous, QStringLiteral("cmdNav0"), buttons));
    buttonRow->addWidget(addButton(Command::ToggleCounts, QStringLiteral("cmdNav1"), buttons));
    buttonRow->addWidget(addButton(Command::Pause, QStringLiteral("cmdNav2"), buttons));
    buttonRow->addWidget(addButton(Command::ShowAnswer, QStringLiteral("cmdNav4"), buttons));
    buttonRow->addWidget(addButton(Command::Replay, QStringLiteral("cmdNav5"), buttons));
    buttonRow->addWidget(
        addButton(Command::Solution, QStringLiteral("cmdSoruCevapGoster"), buttons));
    buttonRow->addStretch(1);
    buttonRow->addWidget(serverAway);
    buttonRow->addWidget(addButton(Command::Exit, QStringLiteral("cmdCikis"), buttons));
    buttonRow->addWidget(addButton(Command::Next, QStringLiteral("cmdNav3"), buttons));
  }
  m_commands = buttons;
  cmdNav(Command::Next)->setStyleSheet(QStringLiteral("font-weight:bold"));

  // ---- a lesson's choices (cmbDersRaporGoster, chkSoruIcerigi)
  m_lessonRow = new QWidget(this);
  m_lessonRow->setObjectName(QStringLiteral("frameDers"));
  m_cmbDersRaporGoster = new QComboBox(m_lessonRow);
  m_cmbDersRaporGoster->setObjectName(QStringLiteral("cmbDersRaporGoster"));
  m_cmbDersRaporGoster->setFocusPolicy(Qt::NoFocus);
  m_cmbDersRaporGoster->addItems(delivery::RunSettings::questionReportEntries());
  m_chkSoruIcerigi = new QCheckBox(QStringLiteral("Soru İçeriğini Kaydet"), m_lessonRow);
  m_chkSoruIcerigi->setObjectName(QStringLiteral("chkSoruIcerigi"));
  m_chkSoruIcerigi->setFocusPolicy(Qt::NoFocus);
  auto* lessonBox = new QHBoxLayout(m_lessonRow);
  lessonBox->setContentsMargins(12, 0, 12, 0);
  lessonBox->addWidget(new QLabel(QStringLiteral("Her Sorudan Sonra:"), m_lessonRow));
  lessonBox->addWidget(m_cmbDersRaporGoster);
  lessonBox->addSpacing(24);
  lessonBox->addWidget(m_chkSoruIcerigi);
  lessonBox->addStretch(1);
  m_lessonRow->hide();

  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(0, 0, 0, 0);
  box->setSpacing(6);
  box->addWidget(top);
  m_middle = new QHBoxLayout;
  m_middle->setSpacing(0);
  m_middle->addWidget(m_pages, 1);
  box->addLayout(m_middle, 1);
  box->addWidget(m_lessonRow);
  box->addWidget(m_counters);
  box->addWidget(m_confirm);
  if (column)
    placeCommands(framework::commandSide());
  else
    box->addWidget(buttons);
  // Only the commands answer a finger: a touch on the question or the tiles
  // does nothing, and holding does not open a menu, except on a tile where the
  // tiles have one (RunTilesView). Two fingers on the question enlarge it.
  framework::TouchSupport::excludeFromHold(this);
  applyScale();
}

void frmOnizleme::placeCommands(board::CommandSide side) {
  m_middle->removeWidget(m_commands);
  m_middle->insertWidget(side == board::CommandSide::Left ? 0 : 1, m_commands);
  m_commands->setProperty(
      "taraf", side == board::CommandSide::Left ? QStringLiteral("sol") : QStringLiteral("sag"));
}

Status frmOnizleme::Ayarla(const delivery::RunPlan& plan) {
  if (Status s = m_session.open(plan); !s) return s;
  return opened(plan);
}

Status frmOnizleme::SerbestAyarla(const delivery::RunPlan& plan, int questionLimit) {
  if (Status s = m_session.openFree(plan, questionLimit); !s) return s;
  m_controlBar = new frmSerbestTamEkran(m_session, this);
  connect(m_controlBar, &frmSerbestTamEkran::clipRequested, this, &frmOnizleme::clipQuestion);
  // A free run's teacher works from the bar.
  if (auto* box = qobject_cast<QBoxLayout*>(m_controlBar->layout()))
    box->addWidget(serverAwayLabel(m_context.store, m_controlBar));
  m_clips = std::make_unique<delivery::FreeQuestionClips>(m_context.store);
  m_clips->attach(m_session);
  if (m_session.lesson()) DersGoster();
  return opened(m_session.plan());
}

void frmOnizleme::DersGoster() {
  // The report after each question and whether each question's picture is
  // kept are the teacher's last choices.
  const delivery::LessonSetup::PreviewChoices saved = delivery::LessonSetup::PreviewChoices::load();
  m_cmbDersRaporGoster->setCurrentIndex(3);
  if (saved.reportIndex >= 0 && saved.reportIndex < m_cmbDersRaporGoster->count())
    m_cmbDersRaporGoster->setCurrentIndex(saved.reportIndex);
  m_chkSoruIcerigi->setChecked(saved.questionText);
  auto save = [this] {
    delivery::LessonSetup::PreviewChoices choices;
    choices.reportIndex = m_cmbDersRaporGoster->currentIndex();
    choices.questionText = m_chkSoruIcerigi->isChecked();
    choices.save();
    m_session.setQuestionReport(delivery::RunSettings::QuestionReport(choices.reportIndex));
    setClipping(choices.questionText);
  };
  m_session.setQuestionReport(
      delivery::RunSettings::QuestionReport(m_cmbDersRaporGoster->currentIndex()));
  setClipping(m_chkSoruIcerigi->isChecked());
  connect(m_cmbDersRaporGoster, &QComboBox::activated, this, save);
  connect(m_chkSoruIcerigi, &QCheckBox::clicked, this, save);
  m_lessonRow->show();
}

void frmOnizleme::setClipping(bool on) {
  m_clipping = on && m_clips;
  if (m_controlBar)
    m_controlBar->setClipping(m_clipping,
                              [this] { return m_clips && m_clips->has(m_session.position()); });
}

void frmOnizleme::clipQuestion() {
  if (!m_clipping || !m_session.freeQuestionNew()) return;
  // The board under the presentation is what the class sees: both step aside
  // until the desktop has repainted.
  m_controlBar->hide();
  hide();
  QTimer::singleShot(frmKirpma::grabDelayMs(m_grabber), this, &frmOnizleme::clipCaptured);
}

void frmOnizleme::clipCaptured() {
  const int position = m_session.position();
  auto back = [this] {
    show();
    raise();
    m_controlBar->show();
    m_controlBar->raise();
  };
  frmKirpma* surface =
      frmKirpma::overScreen(this, m_context.messages, frmKirpma::Mode::Keep, m_grabber);
  if (!surface) return back();
  connect(surface, &frmKirpma::chosen, this, [this, position, back](const QImage& clip) {
    m_clips->set(position, clip);
    back();
    setClipping(m_clipping);  // "Yeniden Kırp"
  });
  connect(surface, &frmKirpma::cancelled, this, back);
}

Status frmOnizleme::opened(const delivery::RunPlan& plan) {
  m_opened = true;
  m_lblTestAdi->setText(plan.description.testName.isEmpty()
                            ? plan.description.testNo
                            : plan.description.testNo + QStringLiteral(" - ") +
                                  plan.description.testName);
  // A lesson opens on an empty board: say what comes next.
  m_startPicture->setImage(
      QuestionPicture::startScreenImage(m_context.store, plan.description.testNo).valueOr({}),
      m_session.lesson() ? QStringLiteral("Soru sormak istediğinizde %1")
                               .arg(delivery::RunSession::lessonStartCaption())
                         : plan.description.testName);
  // On the school's server every picture of the run is on the board before the
  // first question: a network that drops in the middle never blanks the class's
  // screen, and the pictures are fetched once.
  if (m_context.store.onServer())
    for (const delivery::RunQuestion& q : m_session.content().questions)
      (void)picture(q.soruNo, false);
  const QList<delivery::QuestionStatisticsRow>& rows = m_session.questionStatistics();
  m_statistics->setRowCount(0);
  for (int i = 0; i < rows.size(); ++i)
    setRow(m_statistics, i,
           {rows.at(i).level, rows.at(i).course, rows.at(i).unit,
            QString::number(rows.at(i).questions), rows.at(i).time});
  (void)m_inhibitor.inhibit(QStringLiteral("Test uygulanıyor"));
  m_session.startTicking();
  refresh();
  return {};
}

QLabel* frmOnizleme::label(const QString& objectName) const {
  return findChild<QLabel*>(objectName);
}

// ---- painting the state -------------------------------------------------------

void frmOnizleme::refresh() {
  if (m_done) return;
  setWindowTitle(m_session.windowTitle());
  switch (m_session.page()) {
    case Page::Opened:
    case Page::StartScreen:
      m_pages->setCurrentIndex(kStartPage);
      break;
    case Page::QuestionStatistics:
      m_pages->setCurrentIndex(kStatisticsPage);
      break;
    case Page::RemoteTest:
      m_testTiles->update();
      m_pages->setCurrentIndex(kRemoteTestPage);
      break;
    case Page::Countdown:
      m_lblSayacBuyuk->setText(delivery::RunSession::startingText() + QStringLiteral("\n\n") +
                               QString::number(m_session.startCountdown()));
      m_pages->setCurrentIndex(kCountdownPage);
      break;
    case Page::Question:
      m_pages->setCurrentIndex(kQuestionPage);
      break;
    case Page::Report:
      if (m_pages->currentIndex() != kReportPage) m_pages->setCurrentIndex(kReportPage);
      break;
    case Page::FinalStatistics: {
      const delivery::RunStatistics& s = m_session.finalStatistics();
      const QList<QStringList> rows = {
          {QStringLiteral("Uygulama"), s.label},
          {QStringLiteral("Öğrenci Sayısı"), QString::number(s.students)},
          {QStringLiteral("Soru Sayısı"), QString::number(s.questions)},
          {QStringLiteral("Doğru"),
           QStringLiteral("%1 (%%2)").arg(s.correct).arg(s.correctPercent)},
          {QStringLiteral("Yanlış"), QStringLiteral("%1 (%%2)").arg(s.wrong).arg(s.wrongPercent)},
          {QStringLiteral("Boş"), QStringLiteral("%1 (%%2)").arg(s.blank).arg(s.blankPercent)}};
      for (int i = 0; i < rows.size(); ++i) setRow(m_final, i, rows.at(i));
      showFinalChart(m_finalChart, s);
      // Who was left out at the remote test, named: nobody disappears silently.
      if (!m_session.leftOut().isEmpty())
        setRow(m_final, int(rows.size()),
               {reports::leftOutCaption(int(m_session.leftOut().size())),
                m_session.leftOut().join(QStringLiteral(", "))});
      m_final->resizeRowsToContents();
      m_pages->setCurrentIndex(kFinalPage);
      break;
    }
    case Page::Finished:
      m_lblNotice->setText(m_session.notice().isEmpty() ? QStringLiteral("Uygulama bitti")
                                                        : m_session.notice());
      m_pages->setCurrentIndex(kFinishedPage);
      break;
  }
  refreshQuestion();
  refreshCounts();
  refreshButtons();
}

void frmOnizleme::refreshQuestion() {
  const bool onQuestion = m_session.page() == Page::Question;
  m_lblSayac->setText(onQuestion ? m_session.progressText() : QString());
  const delivery::RunQuestion* q = m_session.question();
  m_lblSoruNo->setText(onQuestion && q && !q->soruNo.isEmpty()
                           ? QStringLiteral("Soru No: ") + q->soruNo
                           : QString());
  const delivery::RunSession::Countdown c = m_session.countdown();
  m_lblSureGorunen->setVisible(onQuestion);
  m_lblSureGorunen->setText(c.visibleText);
  m_progress->setVisible(onQuestion && c.timed);
  m_progress->setMaximum(std::max(c.total, 1));
  m_progress->setValue(c.remaining);
  m_lblTestDurum->setVisible(onQuestion && m_session.paused());
  m_lblCevap->setVisible(onQuestion && m_session.answerShown());
  m_lblCevap->setText(QStringLiteral("Cevap: ") + (m_session.answerText().isEmpty()
                                                       ? QStringLiteral("-")
                                                       : m_session.answerText()));
  if (m_session.virtualRemoteOnly())
    m_answerArea->setCurrentIndex(kVirtualArea);
  else
    m_answerArea->setCurrentIndex(m_session.countsShown() ? kCountsArea : kTilesArea);
  refreshVoting();
  if (onQuestion) showPicture();
}

void frmOnizleme::refreshVoting() {
  // A free question has no picture: the frame stands for it, its colour the
  // vote, readable from the back row.
  if (!m_session.freeMode()) return m_frameZemin->setPalette(palette());
  const QPalette pal =
      frmSerbestTamEkran::votingPalette(m_frameZemin->palette(), m_session.votingOpen());
  m_frameZemin->setPalette(pal);
  m_lblOylama->setPalette(pal);
  m_lblOylama->setText(QStringLiteral("%1.\n\n").arg(m_session.position()) +
                       m_session.votingText());
  m_questionArea->setCurrentIndex(kVotingArea);
}

void frmOnizleme::refreshCounts() {
  const activity::RemoteTiles::Counts n = m_session.counts();
  const Page page = m_session.page();
  m_counters->setVisible(page == Page::Question || page == Page::RemoteTest ||
                         page == Page::Report);
  m_lblCevapVeren->setText(QStringLiteral("Cevap Veren: %1").arg(n.answered));
  m_lblBos->setText(QStringLiteral("Boş Bırakan: %1").arg(n.blank));
  m_lblCevapVermeyen->setText(QStringLiteral("Yanıtlamayan: %1").arg(n.notAnswered));
  m_tabloCevapVeren->setText(QStringLiteral("Cevap Veren\n%1").arg(n.answered));
  m_tabloBos->setText(QStringLiteral("Boş Bırakan\n%1").arg(n.blank));
  m_tabloCevapVermeyen->setText(QStringLiteral("Yanıtlamayan\n%1").arg(n.notAnswered));
}

void frmOnizleme::refreshButtons() {
  // Exactly the buttons the run has available now: a teacher key acts on the
  // same rule, so what is on the screen is what the remote can do.
  for (auto it = m_buttons.cbegin(); it != m_buttons.cend(); ++it) {
    it.value()->setText(m_session.caption(it.key()));
    it.value()->setVisible(m_session.isAvailable(it.key()));
  }
  m_confirm->setVisible(m_session.confirmingExit());
  // The captions changed: the row is laid out again before the next paint.
  if (layout()) layout()->activate();
}

QImage frmOnizleme::picture(const QString& soruNo, bool solution) {
  const QString key = soruNo + (solution ? QStringLiteral("|C") : QStringLiteral("|S"));
  auto it = m_pictures.constFind(key);
  if (it != m_pictures.constEnd()) return it.value();
  // One read gives the question and its solution: both are kept.
  const Result<std::pair<QImage, QImage>> images =
      QuestionPicture::questionImages(m_context.store, soruNo);
  if (!images) {
    // Not kept: the next showing asks again, once the server is back.
    m_context.store.log(QStringLiteral("Soru resmi okunamadı: ") + images.error());
    return {};
  }
  m_pictures.insert(soruNo + QStringLiteral("|S"), QuestionPicture::trimmed(images->first));
  m_pictures.insert(soruNo + QStringLiteral("|C"), QuestionPicture::trimmed(images->second));
  return m_pictures.value(key);
}

void frmOnizleme::showPicture() {
  const delivery::RunQuestion* q = m_session.question();
  if (!q || m_session.freeMode()) return;
  const bool solution = m_session.solutionShown();
  const QImage image = picture(q->soruNo, solution);
  if (image.cacheKey() == m_questionPicture->image().cacheKey() && !image.isNull()) return;
  m_questionPicture->setImage(image, solution ? QStringLiteral("Bu sorunun çözümü yok")
                                              : QStringLiteral("Soru %1").arg(q->soruNo));
}

void frmOnizleme::reportRequested(delivery::RunSettings::QuestionReport report, int position) {
  if (m_reportHandler && m_reportHandler(*this, report, position)) return;
  if (m_session.page() != Page::Report) return;  // the end: the run closes itself
  const activity::RemoteTiles::Counts n = m_session.tiles().counts();
  const delivery::RunQuestion* left = position >= 1 && position <= m_session.questionCount()
                                          ? &m_session.content().questions.at(position - 1)
                                          : nullptr;
  m_lblReport->setText(
      QStringLiteral("%1. soru\n\nCevap Veren: %2    Boş Bırakan: %3    Yanıtlamayan: %4\n"
                     "Doğru cevap: %5")
          .arg(position)
          .arg(n.answered)
          .arg(n.blank)
          .arg(n.notAnswered)
          .arg(left && !left->key.isEmpty() ? left->key : QStringLiteral("-")));
  m_pages->setCurrentIndex(kReportPage);
}

// ---- leaving --------------------------------------------------------------------

void frmOnizleme::finish() {
  if (m_done) return;
  m_done = true;
  if (m_controlBar) m_controlBar->close();
  m_media->stop();
  m_inhibitor.release();
  framework::rememberPresentationScreen(screen());
  const reports::RunKey key = m_session.runKey();
  close();
  emit finished(key);
}

void frmOnizleme::closeEvent(QCloseEvent* event) {
  // Closing the window is leaving the run: it asks like the exit button.
  if (!m_done && m_opened) {
    event->ignore();
    m_session.trigger(Command::Exit);
    return;
  }
  m_inhibitor.release();
  event->accept();
}

void frmOnizleme::keyPressEvent(QKeyEvent* event) {
  // The keyboard is the teacher remote's twin: the same keys on every page.
  const QString letter =
      delivery::RunSession::keyboardLetter(event->key(), m_session.confirmingExit());
  if (letter.isEmpty() || event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
    return QWidget::keyPressEvent(event);
  (void)m_session.teacherKey(letter, delivery::RunSession::KeySource::Keyboard);
}

void frmOnizleme::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  applyScale();
}

void frmOnizleme::applyScale() {
  // Read from the back row: every text follows the screen's height.
  const int h = std::max(height(), 600);
  setPixelSize(m_lblTestAdi, h / 36, true);
  setPixelSize(m_lblSayac, h / 22, true);
  setPixelSize(m_lblSoruNo, h / 48);
  setPixelSize(m_lblSureGorunen, h / 22, true);
  setPixelSize(m_lblTestDurum, h / 30, true);
  setPixelSize(m_lblCevap, h / 26, true);
  m_progress->setFixedHeight(std::max(8, h / 90));
  for (QLabel* l : {m_lblCevapVeren, m_lblBos, m_lblCevapVermeyen}) setPixelSize(l, h / 40, true);
  m_counters->setMinimumHeight(h / 40 * 2);
  setPixelSize(m_lblSayacBuyuk, h / 9, true);
  setPixelSize(m_lblNotice, h / 10, true);
  setPixelSize(m_lblRemoteTestHelp, h / 36);
  setPixelSize(m_lblVirtual, h / 30);
  setPixelSize(m_lblOylama, h / 10, true);
  setPixelSize(m_lblReport, h / 28, true);
  setPixelSize(m_lblConfirm, h / 30, true);
  for (QLabel* l : {m_tabloCevapVeren, m_tabloBos, m_tabloCevapVermeyen})
    setPixelSize(l, h / 14, true);
  for (QTableWidget* t : {m_statistics, m_final}) {
    setPixelSize(t, h / 34);
    t->verticalHeader()->setDefaultSectionSize(h / 34 * 2);
  }
  const bool column = m_middle->indexOf(m_commands) >= 0;
  for (QPushButton* b : m_buttons) {
    setPixelSize(b, column ? h / 40 : h / 48, b == cmdNav(Command::Next));
    b->setMinimumHeight(std::max(44, h / 16));
    if (column) b->setMinimumWidth(std::max(180, h / 4));
  }
  // The column keeps its width whichever commands the page has.
  if (column) m_commands->setMinimumWidth(std::max(180, h / 4) + 24);
  if (auto* side = m_commands->findChild<QPushButton*>(QStringLiteral("cmdKomutTarafi")))
    setPixelSize(side, h / 60);
  for (Command c : {Command::ConfirmExit, Command::CancelExit}) {
    setPixelSize(cmdNav(c), h / 34, true);
    cmdNav(c)->setMinimumWidth(h / 5);
  }
  for (QWidget* w : m_lessonRow->findChildren<QWidget*>()) setPixelSize(w, h / 48);
  setPixelSize(m_cmdTesteDevam, h / 40, true);
  m_cmdTesteDevam->setMinimumHeight(std::max(44, h / 14));
  m_cmdTesteDevam->setMinimumWidth(h / 3);
}

// ---- the virtual remote ------------------------------------------------------

QStringList frmOnizleme::remoteAddresses() const { return m_session.plan().studentRemotes; }

QStringList frmOnizleme::questionTitles() const {
  QStringList out;
  for (int i = 0; i < m_session.questionCount(); ++i) out << QStringLiteral("%1. Soru").arg(i + 1);
  return out;
}

int frmOnizleme::currentQuestion() const { return m_session.position() - 1; }
