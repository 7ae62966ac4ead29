#include "screens/reports/frmRaporlar.h"

#include <QButtonGroup>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QChartView>
#include <algorithm>

#include "Messages.h"
#include "framework/FileDialogs.h"
#include "framework/ScreenHelpers.h"
#include "reports/ReportExports.h"
#include "reports/RunList.h"
#include "screens/reports/QuestionSketch.h"
#include "screens/reports/ReportCharts.h"
#include "screens/reports/ReportScreens.h"
#include "store/BrowserAddress.h"
#include "store/Store.h"

using reports::ReportNavigator;
using Action = reports::ReportNavigator::Action;
using Page = reports::ReportNavigator::Page;

namespace {

const QStringList kLetters = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                              QStringLiteral("D"), QStringLiteral("E")};

// The key among the options must be seen from the back of the room.
const QString kMarkedStyle = QStringLiteral(
    "QPushButton:checked { background: #2e9e44; color: white; border: 1px solid #1d6b2d; }");

QFont scaled(QFont f, double factor, bool bold = false) {
  f.setPointSizeF(f.pointSizeF() * factor);
  f.setBold(bold);
  return f;
}

QTableWidget* table(const QString& name, QWidget* parent) {
  auto* t = new QTableWidget(parent);
  t->setObjectName(name);
  t->setEditTriggers(QAbstractItemView::NoEditTriggers);
  t->setSelectionBehavior(QAbstractItemView::SelectRows);
  t->verticalHeader()->setVisible(false);
  t->setAlternatingRowColors(true);
  t->setFont(scaled(t->font(), 1.15));
  t->horizontalHeader()->setFont(scaled(t->font(), 1.0, true));
  return t;
}

void fill(QTableWidget* t, const QStringList& captions, const QList<QStringList>& rows) {
  t->clear();
  t->setColumnCount(int(captions.size()));
  t->setRowCount(int(rows.size()));
  t->setHorizontalHeaderLabels(captions);
  for (int r = 0; r < rows.size(); ++r)
    for (int c = 0; c < rows.at(r).size() && c < captions.size(); ++c) {
      auto* item = new QTableWidgetItem(rows.at(r).at(c));
      item->setTextAlignment(Qt::AlignCenter);
      t->setItem(r, c, item);
    }
  t->resizeColumnsToContents();
  t->resizeRowsToContents();
}

QColor outcomeColour(reports::Outcome outcome) {
  switch (outcome) {
    case reports::Outcome::Correct:
      return QColor(0xc8, 0xf0, 0xc8);
    case reports::Outcome::Wrong:
      return QColor(0xf8, 0xc8, 0xc8);
    case reports::Outcome::Blank:
    case reports::Outcome::Unscored:
      break;
  }
  return Qt::white;
}

// Why some answers count nowhere: a question without a key.
QString noteHtml(const QString& note) {
  return note.isEmpty() ? QString()
                        : QStringLiteral("<p style=\"color:#b00000\"><b>%1</b></p>")
                              .arg(note.toHtmlEscaped().replace(QStringLiteral(": "),
                                                                QStringLiteral(":<br>")));
}

QString countLine(const QString& caption, const reports::Count& c) {
  return QStringLiteral(
             "<tr><td>%1</td><td align=right><b>%2</b></td><td align=right>%%3</td></tr>")
      .arg(caption.toHtmlEscaped())
      .arg(c.count)
      .arg(c.percent);
}

QString tallyHtml(const reports::AnswerTally& t, bool letters) {
  QString html = countLine(QStringLiteral("Doğru"), t.correct) +
                 countLine(QStringLiteral("Yanlış"), t.wrong) +
                 countLine(QStringLiteral("Boş"), t.blank);
  if (letters) {
    for (int i = 0; i < 5; ++i) html += countLine(kLetters.at(i), t.options.at(size_t(i)));
    html += countLine(QStringLiteral("Boş (X)"), t.optionBlank);
  }
  return html;
}

QList<QStringList> answerRows(const QList<reports::QuestionAnswerRow>& rows, bool withState) {
  QList<QStringList> out;
  for (const reports::QuestionAnswerRow& r : rows) {
    QStringList row{store::shownAddress(r.address), r.name.full(), r.answer.answer, r.answer.time};
    if (withState) row << r.state;
    out << row;
  }
  return out;
}

}  // namespace

frmRaporlar::frmRaporlar(const ScreenContext& context, const reports::RunKey& run, QWidget* parent)
    : QWidget(parent), m_context(context), m_run(run), m_options(reports::ReportOptions::load()) {
  setObjectName(QStringLiteral("frmRaporlar"));
  setWindowTitle(QStringLiteral("Raporlar"));

  auto* root = new QVBoxLayout(this);
  m_lblBaslik = new QLabel(this);
  m_lblBaslik->setObjectName(QStringLiteral("lblBaslik"));
  m_lblBaslik->setWordWrap(true);
  m_lblBaslik->setFont(scaled(font(), 1.35, true));
  root->addWidget(m_lblBaslik);

  m_tabs = new QTabBar(this);
  m_tabs->setObjectName(QStringLiteral("tabRaporlar"));
  m_tabs->setFont(scaled(m_tabs->font(), 1.2));
  m_tabs->setExpanding(false);
  for (int p = 0; p < ReportNavigator::kPages; ++p)
    m_tabs->addTab(ReportNavigator::pageCaption(Page(p)));
  root->addWidget(m_tabs);

  auto* middle = new QHBoxLayout;
  m_pages = new QStackedWidget(this);
  middle->addWidget(m_pages, 1);
  m_optionsPanel = new QWidget(this);
  m_optionsPanel->setObjectName(QStringLiteral("panelSecenekler"));
  m_optionsPanel->setMaximumWidth(330);
  buildOptions(m_optionsPanel);
  middle->addWidget(m_optionsPanel);
  root->addLayout(middle, 1);

  buildGeneral();
  buildQuestion();
  buildAnswers();
  buildDistribution();
  buildClassTable();
  buildStudent();
  buildItems();
  buildKeyEditor();
  middle->addWidget(m_keyPanel);

  auto* bar = new QHBoxLayout;
  for (Action a : {Action::PreviousReport, Action::NextReport, Action::PreviousStudent,
                   Action::NextStudent, Action::Export})
    bar->addWidget(actionButton(a, this));
  auto* pdf = framework::button(QStringLiteral("cmdPdf"), QStringLiteral("PDF"), this);
  connect(pdf, &QPushButton::clicked, this, [this] { exportPdf(); });
  bar->addWidget(pdf);
  auto* sheets = framework::button(QStringLiteral("cmdSonucBelgeleri"),
                                   QStringLiteral("Sonuç Belgeleri"), this);
  sheets->setToolTip(QStringLiteral("Her öğrenci için bir sayfa: veli toplantıları için"));
  connect(sheets, &QPushButton::clicked, this, [this] { exportSheets(); });
  bar->addWidget(sheets);
  bar->addStretch(1);
  auto* key = framework::button(QStringLiteral("cmdCevapAnahtariDegistir"),
                                reports::AnswerKeyEditor::caption(), this);
  connect(key, &QPushButton::clicked, this, &frmRaporlar::cmdCevapAnahtariDegistir_Click);
  bar->addWidget(key);
  bar->addWidget(actionButton(Action::BackToRun, this));
  bar->addWidget(actionButton(Action::Exit, this));
  // Ten buttons of the usual width make the report wider than the main area of a
  // 1280×800 screen: each is as wide as its caption.
  for (int i = 0; i < bar->count(); ++i)
    if (QWidget* w = bar->itemAt(i)->widget()) w->setMinimumWidth(0);
  root->addLayout(bar);

  connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
    if (!m_painting) m_nav.setPage(Page(index));
  });
  connect(&m_nav, &ReportNavigator::changed, this, &frmRaporlar::paint);
  connect(&m_nav, &ReportNavigator::exportRequested, this, [this] { exportAnswers(); });
  connect(&m_nav, &ReportNavigator::backToRunRequested, this, [this] {
    emit backToRunRequested();
    close();
  });
  connect(&m_nav, &ReportNavigator::exitRequested, this, &QWidget::close);
  // A key change or a removed question anywhere (this screen, the command line's
  // store, another window) shows at once on every page.
  connect(&m_context.store, &store::Store::runsChanged, this, &frmRaporlar::refresh);
  refresh();
}

frmRaporlar::~frmRaporlar() = default;

QPushButton* frmRaporlar::actionButton(Action action, QWidget* parent) {
  auto* b = framework::button(QStringLiteral("cmdNav_%1").arg(int(action)),
                              ReportNavigator::caption(action), parent);
  connect(b, &QPushButton::clicked, this, [this, action] { trigger(action); });
  m_actions[action] = b;
  return b;
}

void frmRaporlar::trigger(Action action) { (void)m_nav.trigger(action); }

void frmRaporlar::refresh() {
  auto report = std::make_unique<reports::RunReport>(m_context.store, m_run);
  if (const Status loaded = report->load(); !loaded) {
    // The run was deleted (from the report selection) while its report was open:
    // there is nothing left to show.
    if (m_report && reports::RunList(m_context.store).run(m_run).valueOr({}).isEmpty()) {
      close();
      return;
    }
    m_context.messages.error(loaded.error());
    return;
  }
  m_report = std::move(report);
  m_lblBaslik->setText(m_report->title());
  m_painting = true;
  m_cmbTestSiraNo->clear();
  m_cmbTestSiraNo->addItems(m_report->positions());
  m_painting = false;
  m_nav.setCounts(int(m_report->questions().size()), int(m_report->participants().size()));
  paint();
}

void frmRaporlar::paint() {
  if (!m_report) return;
  m_painting = true;
  m_tabs->setCurrentIndex(int(m_nav.page()));
  m_pages->setCurrentIndex(int(m_nav.page()));
  switch (m_nav.page()) {
    case Page::General:
      paintGeneral();
      break;
    case Page::Question:
      paintQuestion();
      break;
    case Page::Answers:
      paintAnswers();
      break;
    case Page::Distribution:
      paintDistribution();
      break;
    case Page::ClassTable:
      paintClassTable();
      break;
    case Page::Student:
      paintStudent();
      break;
    case Page::Items:
      paintItems();
      break;
  }
  paintButtons();
  m_painting = false;
}

void frmRaporlar::paintButtons() {
  for (auto& [action, button] : m_actions) {
    button->setVisible(
        action != Action::BackToRun && action != Action::Exit ? true : m_nav.available(action));
    button->setEnabled(m_nav.available(action));
  }
}

// --- General ---------------------------------------------------------------------

void frmRaporlar::buildGeneral() {
  auto* page = new QWidget(m_pages);
  auto* row = new QHBoxLayout(page);
  auto* left = new QVBoxLayout;
  m_lblGenel = new QLabel(page);
  m_lblGenel->setObjectName(QStringLiteral("lblGenel"));
  m_lblGenel->setFont(scaled(font(), 1.3));
  m_lblGenel->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  left->addWidget(m_lblGenel);
  // A class may leave many out: their names wrap under the figures, whatever their
  // number, instead of widening the page.
  m_lblDisaridaKalan = new QLabel(page);
  m_lblDisaridaKalan->setObjectName(QStringLiteral("lblDisaridaKalan"));
  m_lblDisaridaKalan->setFont(scaled(font(), 1.3));
  m_lblDisaridaKalan->setWordWrap(true);
  m_lblDisaridaKalan->setContentsMargins(4, 0, 4, 4);
  left->addWidget(m_lblDisaridaKalan);
  auto* toggle = new QPushButton(page);
  toggle->setObjectName(QStringLiteral("cmdDogruYanlis"));
  toggle->setMinimumHeight(44);
  connect(toggle, &QPushButton::clicked, this, [this] { trigger(Action::ToggleGeneral); });
  left->addWidget(toggle);
  left->addStretch(1);
  row->addLayout(left);
  m_chartGenel = reportsui::ReportChart::make(page);
  m_chartGenel->setObjectName(QStringLiteral("chartGenel"));
  row->addWidget(m_chartGenel, 1);
  m_pages->addWidget(page);
}

void frmRaporlar::paintGeneral() {
  const reports::GeneralView g = m_report->general(m_options);
  const bool letters = m_nav.showsOptionDistribution();
  m_lblGenel->setText(QStringLiteral("<table cellpadding=4>"
                                     "<tr><td>Soru Sayısı</td><td align=right><b>%1</b></td></tr>"
                                     "<tr><td>Katılımcı</td><td align=right><b>%2</b></td></tr>")
                          .arg(g.questions)
                          .arg(g.participants) +
                      tallyHtml(g, letters) + QStringLiteral("</table>") +
                      noteHtml(g.unscoredNote));
  // Who was left out at the remote check, named as on the final page.
  m_lblDisaridaKalan->setText(
      g.leftOutCaption.isEmpty()
          ? QString()
          : QStringLiteral("%1: <b>%2</b>")
                .arg(g.leftOutCaption.toHtmlEscaped(), g.leftOutNames.toHtmlEscaped()));
  m_lblDisaridaKalan->setVisible(!g.leftOutCaption.isEmpty());
  auto* toggle = m_pages->widget(int(Page::General))
                     ->findChild<QPushButton*>(QStringLiteral("cmdDogruYanlis"));
  toggle->setText(letters ? QStringLiteral("Doğru-Yanlış İstatistiği (C)")
                          : QStringLiteral("Cevap Dağılım İstatistiği (C)"));
  toggle->setEnabled(m_nav.available(Action::ToggleGeneral));
  reportsui::ReportChart::setGroupBars(m_chartGenel,
                                       letters ? QStringLiteral("Cevap Dağılım İstatistiği")
                                               : QStringLiteral("Doğru-Yanlış İstatistiği"),
                                       g.chartGroup,
                                       letters ? g.distributionBars : g.correctnessBars);
}

// --- Question ----------------------------------------------------------------------

void frmRaporlar::buildQuestion() {
  auto* page = new QWidget(m_pages);
  auto* col = new QVBoxLayout(page);
  auto* nav = new QHBoxLayout;
  for (Action a : {Action::FirstQuestion, Action::PreviousQuestion, Action::NextQuestion,
                   Action::LastQuestion}) {
    QPushButton* b = actionButton(a, page);
    // As wide as their captions: with the usual width the row made the report
    // wider than the main area of a 1280×800 screen.
    b->setMinimumWidth(0);
    nav->addWidget(b);
  }
  auto* cmbCaption = new QLabel(QStringLiteral("Testin Kaçıncı Sorusu"), page);
  cmbCaption->setWordWrap(true);  // in two lines the report fits a 1280×800 screen
  nav->addWidget(cmbCaption);
  m_cmbTestSiraNo = new QComboBox(page);
  m_cmbTestSiraNo->setObjectName(QStringLiteral("cmbTestSiraNo"));
  m_cmbTestSiraNo->setMinimumHeight(40);
  m_cmbTestSiraNo->setMinimumWidth(80);
  connect(m_cmbTestSiraNo, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (!m_painting && index >= 0) m_nav.setQuestion(index);
  });
  nav->addWidget(m_cmbTestSiraNo);
  nav->addStretch(1);
  auto* remove = framework::button(QStringLiteral("cmdSoruSil"),
                                   QStringLiteral("Soruyu Uygulamadan Çıkar"), page);
  connect(remove, &QPushButton::clicked, this, &frmRaporlar::cmdSoruSil_Click);
  nav->addWidget(remove);
  col->addLayout(nav);

  // The question and the teacher's drawing over it above, the figures below; the
  // teacher moves the line between them.
  auto* vertical = new QSplitter(Qt::Vertical, page);
  vertical->setObjectName(QStringLiteral("splitSoru"));
  auto* questionPane = new QWidget(vertical);
  auto* qrow = new QHBoxLayout(questionPane);
  qrow->setContentsMargins(0, 0, 0, 0);
  m_sketch = new QuestionSketch(questionPane);
  qrow->addWidget(m_sketch, 1);
  auto* tools = new QVBoxLayout;
  for (QPushButton* b : m_sketch->makeTools(questionPane)) tools->addWidget(b);
  tools->addStretch(1);
  qrow->addLayout(tools);
  auto* lower = new QWidget(vertical);
  auto* lcolumn = new QVBoxLayout(lower);
  lcolumn->setContentsMargins(0, 0, 0, 0);
  auto* keyRow = new QHBoxLayout;
  m_lblDogruSik = new QLabel(page);
  m_lblDogruSik->setObjectName(QStringLiteral("lblDogruSik"));
  m_lblDogruSik->setFont(scaled(font(), 1.5, true));
  keyRow->addWidget(m_lblDogruSik);
  auto* hint = new QLabel(QStringLiteral("Cevabı değiştirmek için şıkka tıklayın:"), page);
  hint->setWordWrap(true);  // on a 1280×800 screen it takes two lines
  keyRow->addWidget(hint);
  for (int i = 0; i < 5; ++i) {
    auto* b = new QPushButton(kLetters.at(i), page);
    b->setObjectName(QStringLiteral("lblABCDE_%1").arg(kLetters.at(i)));
    b->setCheckable(true);
    b->setMinimumSize(52, 44);
    b->setFont(scaled(font(), 1.4, true));
    b->setStyleSheet(kMarkedStyle);
    connect(b, &QPushButton::clicked, this, [this, i] { lblABCDE_Click(kLetters.at(i)); });
    m_lblABCDE[size_t(i)] = b;
    keyRow->addWidget(b);
  }
  keyRow->addStretch(1);
  lcolumn->addLayout(keyRow);

  auto* split = new QSplitter(Qt::Horizontal, lower);
  // The figures scroll rather than make the page taller than a laptop's screen.
  auto* figuresScroll = new QScrollArea(split);
  figuresScroll->setFrameShape(QFrame::NoFrame);
  figuresScroll->setWidgetResizable(true);
  auto* figures = new QWidget(figuresScroll);
  figuresScroll->setWidget(figures);
  auto* fcol = new QVBoxLayout(figures);
  fcol->setContentsMargins(0, 0, 0, 0);
  m_lblSoru = new QLabel(figures);
  m_lblSoru->setObjectName(QStringLiteral("lblSoru"));
  m_lblSoru->setFont(scaled(font(), 1.15));
  m_lblSoru->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  fcol->addWidget(m_lblSoru);
  fcol->addStretch(1);
  m_chartSoru = reportsui::ReportChart::make(split);
  m_chartSoru->setObjectName(QStringLiteral("chartSoru"));
  m_chartSoru->setMinimumHeight(180);
  auto* lists = new QWidget(split);
  auto* lcol = new QVBoxLayout(lists);
  lcol->setContentsMargins(0, 0, 0, 0);
  // The three lists one above the other showed a row or two each on a board's
  // 768 lines; as tabs each has the whole height, and its tab tells how many.
  m_ayriListeler = new QTabWidget(lists);
  m_ayriListeler->setObjectName(QStringLiteral("tabListeler"));
  auto addList = [&](const QString& name) {
    QTableWidget* t = table(name, m_ayriListeler);
    t->setMinimumHeight(50);
    m_ayriListeler->addTab(t, QString());
    return t;
  };
  m_listeDogru = addList(QStringLiteral("SlisteDogru"));
  m_listeYanlis = addList(QStringLiteral("SlisteYanlis"));
  m_listeBos = addList(QStringLiteral("SlisteBos"));
  lcol->addWidget(m_ayriListeler, 1);
  m_listeTek = table(QStringLiteral("SlisteCevaplar"), lists);
  m_listeTek->setMinimumHeight(50);
  m_listeTek->hide();  // until the options choose it
  lcol->addWidget(m_listeTek, 1);
  split->addWidget(figuresScroll);
  split->addWidget(m_chartSoru);
  split->addWidget(lists);
  split->setStretchFactor(1, 2);
  split->setStretchFactor(2, 2);
  // The chart as wide as the lists: it is what the class looks at.
  split->setSizes({200, 500, 500});
  lcolumn->addWidget(split, 1);
  vertical->addWidget(questionPane);
  vertical->addWidget(lower);
  vertical->setStretchFactor(0, 2);
  vertical->setStretchFactor(1, 3);
  col->addWidget(vertical, 1);
  m_pages->addWidget(page);
}

void frmRaporlar::paintQuestion() {
  const reports::QuestionView v = m_report->question(m_nav.question(), m_options);
  m_cmbTestSiraNo->setCurrentIndex(v.index);
  if (v.index != m_sketchQuestion || v.question.soruNo != m_sketchSoruNo) {
    // Another question: its picture, or its typed text, and a clean sheet.
    const Result<QByteArray> bytes = m_report->questionPicture(v.index);
    const QImage picture = QImage::fromData(bytes.valueOr({}));
    QString text = v.question.content;
    if (!bytes.ok())
      text = QStringLiteral("Soru resmi okunamadı (%1)").arg(bytes.error());
    else if (picture.isNull() && text.isEmpty())
      text = QStringLiteral("%1. sorunun resmi ya da metni yok.").arg(v.question.position);
    m_sketch->setQuestion(picture, text);
    m_sketchQuestion = v.index;
    m_sketchSoruNo = v.question.soruNo;
  }
  const QString key = v.question.key;
  m_lblDogruSik->setText(
      QStringLiteral("Sorunun Cevabı: %1").arg(key.isEmpty() ? QStringLiteral("(yok)") : key));
  for (int i = 0; i < 5; ++i) {
    m_lblABCDE[size_t(i)]->setChecked(key == kLetters.at(i));
    m_lblABCDE[size_t(i)]->setEnabled(v.index >= 0);
  }
  m_lblSoru->setText(QStringLiteral("<table cellpadding=4>"
                                    "<tr><td>Soru</td><td align=right><b>%1 / %2</b></td></tr>"
                                    "<tr><td>Katılımcı</td><td align=right><b>%3</b></td></tr>")
                         .arg(v.index + 1)
                         .arg(v.count)
                         .arg(v.participants) +
                     tallyHtml(v, true) + QStringLiteral("</table>") + noteHtml(v.unscoredNote));
  reportsui::ReportChart::setGroupBars(m_chartSoru, QStringLiteral("Cevap Dağılımı"),
                                       QStringLiteral("%1. Soru").arg(v.question.position), v.bars);
  const QStringList captions{QStringLiteral("Kumanda"), QStringLiteral("Adı Soyadı"),
                             QStringLiteral("Cevap"), QStringLiteral("Süre")};
  const bool lists = m_options.showCorrectWrongBlank;
  m_ayriListeler->setVisible(lists && !m_options.singleList);
  m_listeTek->setVisible(lists && m_options.singleList);
  if (m_options.singleList) {
    fill(m_listeTek, captions + QStringList{QStringLiteral("CEVAPDURUMU")},
         answerRows(v.all, true));
  } else {
    fill(m_listeDogru, captions, answerRows(v.correctList, false));
    fill(m_listeYanlis, captions, answerRows(v.wrongList, false));
    fill(m_listeBos, captions, answerRows(v.blankList, false));
    m_ayriListeler->setTabText(0, QStringLiteral("Doğru (%1)").arg(v.correctList.size()));
    m_ayriListeler->setTabText(1, QStringLiteral("Yanlış (%1)").arg(v.wrongList.size()));
    m_ayriListeler->setTabText(2, QStringLiteral("Boş (%1)").arg(v.blankList.size()));
  }
  for (QTableWidget* t : {m_listeDogru, m_listeYanlis, m_listeBos, m_listeTek})
    t->setColumnHidden(1, !m_options.showStudents);
}

// --- Answers table and class table --------------------------------------------------

void frmRaporlar::buildAnswers() {
  m_tblAnswers = table(QStringLiteral("SlisteVerilenCevaplar"), m_pages);
  m_pages->addWidget(m_tblAnswers);
}

void frmRaporlar::paintAnswers() {
  const reports::AnswersTable t = m_report->answersTable(m_options);
  fill(m_tblAnswers, t.captions, t.rows);
  const auto& people = m_report->participants();
  for (int r = 0; r < people.size() && r < m_tblAnswers->rowCount(); ++r)
    for (int q = 0; q < people.at(r).answers.size(); ++q)
      if (QTableWidgetItem* item =
              m_tblAnswers->item(r, reports::AnswersTable::kFirstQuestionColumn + q))
        item->setBackground(outcomeColour(people.at(r).answers.at(q).outcome));
  m_tblAnswers->setColumnHidden(2, !m_options.showStudents);
  m_tblAnswers->setColumnHidden(3, !m_options.showStudents);
}

void frmRaporlar::buildClassTable() {
  m_tblClass = table(QStringLiteral("SlisteSinif"), m_pages);
  m_tblClass->setIconSize(QSize(48, 60));
  m_pages->addWidget(m_tblClass);
}

void frmRaporlar::paintClassTable() {
  const reports::AnswersTable t = m_report->answersTable(m_options);
  fill(m_tblClass, QStringList{QStringLiteral("Fotoğraf")} + t.captions, [&] {
    QList<QStringList> rows;
    for (const QStringList& r : t.rows) rows << QStringList{QString()} + r;
    return rows;
  }());
  m_tblClass->setColumnWidth(0, std::max(m_tblClass->columnWidth(0), 56));
  for (int r = 0; r < t.photos.size(); ++r) {
    const QPixmap photo(t.photos.at(r));
    if (photo.isNull()) continue;
    auto* item = new QTableWidgetItem;
    item->setIcon(QIcon(photo.scaled(48, 60, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    m_tblClass->setItem(r, 0, item);
    m_tblClass->setRowHeight(r, 64);
  }
  m_tblClass->setColumnHidden(3, !m_options.showStudents);
  m_tblClass->setColumnHidden(4, !m_options.showStudents);
}

// --- Distribution ------------------------------------------------------------------

void frmRaporlar::buildDistribution() {
  auto* page = new QWidget(m_pages);
  auto* col = new QVBoxLayout(page);
  m_lblDagilim = new QLabel(page);
  m_lblDagilim->setObjectName(QStringLiteral("lblDagilim"));
  m_lblDagilim->setFont(scaled(font(), 1.3, true));
  col->addWidget(m_lblDagilim);
  auto* scroll = new QScrollArea(page);
  scroll->setWidgetResizable(true);
  m_chartDagilim = reportsui::ReportChart::make(scroll);
  m_chartDagilim->setObjectName(QStringLiteral("chartDagilim"));
  scroll->setWidget(m_chartDagilim);
  col->addWidget(scroll, 1);
  m_pages->addWidget(page);
}

void frmRaporlar::paintDistribution() {
  const reports::DistributionView d = m_report->distribution();
  m_lblDagilim->setText(d.caption);
  reportsui::ReportChart::setRowBars(m_chartDagilim, QStringLiteral("Öğrenci Dağılımı"), d.bars);
  // A bar per student stays readable however large the class is: the view grows
  // and scrolls.
  m_chartDagilim->setMinimumHeight(120 + 34 * int(d.bars.size()));
}

// --- Student -----------------------------------------------------------------------

void frmRaporlar::buildStudent() {
  auto* page = new QWidget(m_pages);
  auto* row = new QHBoxLayout(page);
  auto* left = new QVBoxLayout;
  m_lblFoto = new QLabel(page);
  m_lblFoto->setObjectName(QStringLiteral("imgFoto"));
  m_lblFoto->setFixedSize(150, 190);
  m_lblFoto->setFrameShape(QFrame::StyledPanel);
  m_lblFoto->setAlignment(Qt::AlignCenter);
  left->addWidget(m_lblFoto);
  m_lblOgrenci = new QLabel(page);
  m_lblOgrenci->setObjectName(QStringLiteral("lblOgrenci"));
  m_lblOgrenci->setFont(scaled(font(), 1.2));
  m_lblOgrenci->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  m_lblOgrenci->setWordWrap(true);
  left->addWidget(m_lblOgrenci);
  left->addStretch(1);
  row->addLayout(left);
  m_tblOgrenci = table(QStringLiteral("SlisteOgrenciCevaplari"), page);
  row->addWidget(m_tblOgrenci, 1);
  m_chartOgrenci = reportsui::ReportChart::make(page);
  m_chartOgrenci->setObjectName(QStringLiteral("chartOgrenci"));
  row->addWidget(m_chartOgrenci, 1);
  m_pages->addWidget(page);
}

void frmRaporlar::paintStudent() {
  const reports::StudentView v = m_report->student(m_nav.student(), m_options);
  const reports::ReportParticipant& p = v.participant;
  const QString address = store::shownAddress(p.address);
  const QString name = m_options.showStudents ? p.name.full() : address;
  m_lblOgrenci->setText(
      QStringLiteral("<p><b style='font-size:large'>%1</b><br>%2</p><table cellpadding=4>"
                     "<tr><td>Testteki Başarı Sırası</td><td align=right><b>%3 / %4</b></td></tr>"
                     "<tr><td>Net</td><td align=right><b>%5</b></td></tr>"
                     "<tr><td>Soru Sayısı</td><td align=right><b>%6</b></td></tr>")
          .arg(name.toHtmlEscaped(), address.toHtmlEscaped())
          .arg(p.rank)
          .arg(v.participants)
          .arg(p.net)
          .arg(p.questions) +
      tallyHtml(reports::AnswerTally{v.correct, v.wrong, v.blank, {}, {}}, false) +
      QStringLiteral("</table>"));
  const QPixmap photo(p.photo);
  if (photo.isNull()) {
    m_lblFoto->setPixmap(QPixmap());
    m_lblFoto->setText(QStringLiteral("Fotoğraf yok"));
  } else {
    m_lblFoto->setPixmap(
        photo.scaled(m_lblFoto->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
  }
  QList<QStringList> rows;
  for (const reports::StudentAnswerRow& r : v.rows)
    rows << QStringList{r.position, r.answer, r.key, r.time, r.state};
  fill(m_tblOgrenci,
       {QStringLiteral("Soru"), QStringLiteral("Cevap"), QStringLiteral("Doğru Cevap"),
        QStringLiteral("Süre"), QStringLiteral("Durum")},
       rows);
  for (int r = 0; r < p.answers.size() && r < m_tblOgrenci->rowCount(); ++r)
    for (int c = 0; c < m_tblOgrenci->columnCount(); ++c)
      m_tblOgrenci->item(r, c)->setBackground(outcomeColour(p.answers.at(r).outcome));
  reportsui::ReportChart::setGroupBars(m_chartOgrenci, QStringLiteral("Doğru-Yanlış-Boş"), name,
                                       v.bars);
}

// --- Item analysis -----------------------------------------------------------------

void frmRaporlar::buildItems() {
  auto* page = new QWidget(m_pages);
  auto* col = new QVBoxLayout(page);
  auto* top = new QHBoxLayout;
  m_chkTumUygulamalar = new QCheckBox(QStringLiteral("Testin bütün uygulamaları"), page);
  m_chkTumUygulamalar->setObjectName(QStringLiteral("chkTumUygulamalar"));
  m_chkTumUygulamalar->setToolTip(
      QStringLiteral("Bu testin kayıtlı bütün uygulamalarındaki cevaplarla hesaplar"));
  connect(m_chkTumUygulamalar, &QCheckBox::toggled, this, [this] { paint(); });
  top->addWidget(m_chkTumUygulamalar);
  top->addStretch(1);
  auto* excel = framework::button(QStringLiteral("cmdMaddeAnaliziExcel"),
                                  QStringLiteral("Madde Analizini Kaydet"), page);
  connect(excel, &QPushButton::clicked, this, [this] { exportItems(); });
  top->addWidget(excel);
  col->addLayout(top);
  m_lblMadde = new QLabel(page);
  m_lblMadde->setObjectName(QStringLiteral("lblMadde"));
  m_lblMadde->setWordWrap(true);
  m_lblMadde->setFont(scaled(font(), 1.15));
  col->addWidget(m_lblMadde);
  m_tblMadde = table(QStringLiteral("SlisteMaddeAnalizi"), page);
  col->addWidget(m_tblMadde, 1);
  m_pages->addWidget(page);
}

bool frmRaporlar::ofPreparedTest() const {
  const reports::RunInfo& run = m_report->info();
  return !run.isFreeRun() && !run.isLessonRun();
}

bool frmRaporlar::wholeTest() const { return m_chkTumUygulamalar->isChecked() && ofPreparedTest(); }

Result<reports::ItemAnalysis::Findings> frmRaporlar::itemFindings() const {
  if (wholeTest()) return reports::analyseTest(m_context.store, m_report->info().testNo);
  return m_report->itemAnalysis();
}

QString frmRaporlar::itemTitle() const {
  const reports::RunInfo& run = m_report->info();
  if (wholeTest())
    return QStringLiteral("%1 Numaralı %2 İsimli Testin Bütün Uygulamalarının Madde Analizi")
        .arg(run.testNo, run.testAdi);
  return m_report->title() + QStringLiteral(" - Madde Analizi");
}

void frmRaporlar::paintItems() {
  m_chkTumUygulamalar->setEnabled(ofPreparedTest());
  const Result<reports::ItemAnalysis::Findings> found = itemFindings();
  if (!found.ok()) {
    m_lblMadde->setText(found.error().toHtmlEscaped());
    m_tblMadde->clear();
    return;
  }
  const reports::ItemAnalysis::Findings& f = found.value();
  m_lblMadde->setText(reports::ItemAnalysis::summary(f).join(QStringLiteral("   ·   ")));
  fill(m_tblMadde, reports::ItemAnalysis::captions(f.optionCount), reports::ItemAnalysis::cells(f));
  // The flags are the teacher's to act on: they stand out, next to the key.
  const int flags = m_tblMadde->columnCount() - 1;
  QHeaderView* header = m_tblMadde->horizontalHeader();
  header->moveSection(header->visualIndex(flags), 3);
  for (int r = 0; r < m_tblMadde->rowCount(); ++r)
    if (QTableWidgetItem* item = m_tblMadde->item(r, flags); item && !item->text().isEmpty()) {
      item->setBackground(QColor(0xff, 0xf0, 0xb0));
      item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
  // Long flag lists wrap rather than push the figures out of sight.
  m_tblMadde->setWordWrap(true);
  m_tblMadde->setColumnWidth(flags, std::min(m_tblMadde->columnWidth(flags), 300));
  m_tblMadde->resizeRowsToContents();
}

void frmRaporlar::exportItems(const QString& path) {
  const Result<reports::ItemAnalysis::Findings> found = itemFindings();
  if (!found.ok()) {
    m_context.messages.error(found.error());
    return;
  }
  const QString file =
      path.isEmpty() ? reportsui::reportFile(this, QStringLiteral("Madde_Analizi.xlsx")) : path;
  if (file.isEmpty()) return;
  if (framework::check(m_context.messages,
                       reports::writeItemAnalysisXlsx(found.value(), itemTitle(), file)))
    reportsui::offerToOpen(m_context.messages, file);
}

// --- Options -----------------------------------------------------------------------

void frmRaporlar::buildOptions(QWidget* panel) {
  auto* col = new QVBoxLayout(panel);
  col->setContentsMargins(0, 0, 0, 0);
  auto* box = new QGroupBox(QStringLiteral("Görünüm"), panel);
  auto* b = new QVBoxLayout(box);
  auto check = [&](const QString& name, const QString& caption, bool on) {
    auto* c = new QCheckBox(caption, box);
    c->setObjectName(name);
    c->setChecked(on);
    connect(c, &QCheckBox::toggled, this, &frmRaporlar::optionsChanged);
    b->addWidget(c);
    return c;
  };
  using O = reports::ReportOptions;
  m_chkBosGosterme =
      check(QStringLiteral("chkBosGosterme"), O::hideBlanksCaption(), m_options.hideBlanksInCharts);
  m_chkCevaplanmayanBos = check(QStringLiteral("chkCevaplanmayanBos"), O::hideUnchosenCaption(),
                                m_options.hideUnchosenOptions);
  m_chkSureleriGoster =
      check(QStringLiteral("chkSureleriGoster"), O::showTimesCaption(), m_options.showTimes);
  m_chkOgrencileriGoster = check(QStringLiteral("chkOgrencileriGoster"), O::showStudentsCaption(),
                                 m_options.showStudents);
  m_chkDogruYanlisBos = check(QStringLiteral("chkDogruYanlisBos"),
                              O::showCorrectWrongBlankCaption(), m_options.showCorrectWrongBlank);
  m_optListeAyri = new QRadioButton(O::separateListsCaption(), box);
  m_optListeAyri->setObjectName(QStringLiteral("optListeAyri"));
  m_optListeTek = new QRadioButton(O::singleListCaption(), box);
  m_optListeTek->setObjectName(QStringLiteral("optListeTek"));
  (m_options.singleList ? m_optListeTek : m_optListeAyri)->setChecked(true);
  for (QRadioButton* r : {m_optListeAyri, m_optListeTek}) {
    r->setStyleSheet(QStringLiteral("QRadioButton { text-align: left; }"));
    connect(r, &QRadioButton::toggled, this, &frmRaporlar::optionsChanged);
    b->addWidget(r);
  }
  for (QAbstractButton* w : box->findChildren<QAbstractButton*>()) {
    w->setToolTip(w->text());
    w->setMinimumHeight(30);
  }
  col->addWidget(box);

  m_chkOgretmenKumandasi = new QCheckBox(QStringLiteral("Öğretmen kumandasıyla gezin"), panel);
  m_chkOgretmenKumandasi->setObjectName(QStringLiteral("chkOgretmenKumandasi"));
  connect(m_chkOgretmenKumandasi, &QCheckBox::toggled, this,
          [this](bool on) { m_nav.setTeacherCommands(on); });
  col->addWidget(m_chkOgretmenKumandasi);

  col->addStretch(1);
}

void frmRaporlar::optionsChanged() {
  if (m_painting) return;
  m_options.hideBlanksInCharts = m_chkBosGosterme->isChecked();
  m_options.hideUnchosenOptions = m_chkCevaplanmayanBos->isChecked();
  m_options.showTimes = m_chkSureleriGoster->isChecked();
  m_options.showStudents = m_chkOgrencileriGoster->isChecked();
  m_options.showCorrectWrongBlank = m_chkDogruYanlisBos->isChecked();
  m_options.singleList = m_optListeTek->isChecked();
  m_options.save();
  paint();
}

// --- Key editor --------------------------------------------------------------------

void frmRaporlar::buildKeyEditor() {
  m_keyPanel = new QFrame(this);
  m_keyPanel->setObjectName(QStringLiteral("frameCevapAnahtari"));
  m_keyPanel->setFrameShape(QFrame::StyledPanel);
  m_keyPanel->setFixedWidth(330);
  auto* col = new QVBoxLayout(m_keyPanel);
  auto* caption = new QLabel(reports::AnswerKeyEditor::caption(), m_keyPanel);
  caption->setFont(scaled(font(), 1.2, true));
  col->addWidget(caption);
  auto* scroll = new QScrollArea(m_keyPanel);
  scroll->setObjectName(QStringLiteral("VScrollCevapAnahtari"));
  scroll->setWidgetResizable(true);
  m_keyRows = new QWidget(scroll);
  m_keyGrid = new QGridLayout(m_keyRows);
  scroll->setWidget(m_keyRows);
  col->addWidget(scroll, 1);
  auto add = [&](const QString& name, const QString& text, void (frmRaporlar::*slot)()) {
    auto* b = framework::button(name, text, m_keyPanel);
    connect(b, &QPushButton::clicked, this, slot);
    col->addWidget(b);
  };
  add(QStringLiteral("cmdCevapAnahtariniKaydet"), reports::AnswerKeyEditor::saveCaption(),
      &frmRaporlar::cmdCevapAnahtariniKaydet_Click);
  add(QStringLiteral("cmdCevapAnahtariniBosalt"), reports::AnswerKeyEditor::clearCaption(),
      &frmRaporlar::cmdCevapAnahtariniBosalt_Click);
  add(QStringLiteral("cmdCogunlukCevabiDogru"), reports::AnswerKeyEditor::majorityCaption(),
      &frmRaporlar::cmdCogunlukCevabiDogru_Click);
  add(QStringLiteral("cmdCevapAnahtariIptal"), reports::AnswerKeyEditor::cancelCaption(),
      &frmRaporlar::cmdCevapAnahtariIptal_Click);
  m_keyPanel->hide();
}

bool frmRaporlar::keyEditorOpen() const { return m_keyEditor != nullptr; }

void frmRaporlar::cmdCevapAnahtariDegistir_Click() {
  auto editor = std::make_unique<reports::AnswerKeyEditor>(m_context.store, m_run);
  if (!framework::check(m_context.messages, editor->load())) return;
  m_keyEditor = std::move(editor);
  // One row per question: its position and the five options.
  while (QLayoutItem* item = m_keyGrid->takeAt(0)) {
    delete item->widget();
    delete item;
  }
  m_keyMarks.clear();
  const auto& rows = m_keyEditor->rows();
  for (int r = 0; r < rows.size(); ++r) {
    auto* label = new QLabel(QStringLiteral("%1.").arg(rows.at(r).position), m_keyRows);
    label->setFont(scaled(font(), 1.2, true));
    m_keyGrid->addWidget(label, r, 0);
    std::array<QPushButton*, 5> marks{};
    for (int i = 0; i < 5; ++i) {
      auto* b = new QPushButton(kLetters.at(i), m_keyRows);
      b->setObjectName(QStringLiteral("optCevap_%1_%2").arg(r).arg(kLetters.at(i)));
      b->setCheckable(true);
      b->setMinimumSize(40, 34);
      b->setStyleSheet(kMarkedStyle);
      connect(b, &QPushButton::clicked, this, [this, r, i] {
        // A second click on the marked option takes the mark away.
        const bool marked = m_keyEditor->rows().at(r).key == kLetters.at(i);
        markKey(r, marked ? QString() : kLetters.at(i));
      });
      m_keyGrid->addWidget(b, r, i + 1);
      marks[size_t(i)] = b;
    }
    m_keyMarks << marks;
  }
  m_keyGrid->setRowStretch(int(rows.size()), 1);
  paintKeyEditor();
  // The editor takes the place of the display options.
  m_optionsPanel->hide();
  m_keyPanel->show();
}

void frmRaporlar::paintKeyEditor() {
  if (!m_keyEditor) return;
  const auto& rows = m_keyEditor->rows();
  for (int r = 0; r < rows.size() && r < m_keyMarks.size(); ++r)
    for (int i = 0; i < 5; ++i)
      m_keyMarks.at(r)[size_t(i)]->setChecked(rows.at(r).key == kLetters.at(i));
}

void frmRaporlar::markKey(int row, const QString& letter) {
  if (!m_keyEditor) return;
  m_keyEditor->mark(row, letter);
  paintKeyEditor();
}

void frmRaporlar::cmdCevapAnahtariniBosalt_Click() {
  if (!m_keyEditor) return;
  m_keyEditor->clearAll();
  paintKeyEditor();
}

void frmRaporlar::cmdCevapAnahtariIptal_Click() {
  m_keyEditor.reset();
  m_keyPanel->hide();
  m_optionsPanel->show();
}

void frmRaporlar::cmdCevapAnahtariniKaydet_Click() {
  if (!m_keyEditor) return;
  if (!framework::check(m_context.messages, m_keyEditor->save())) return;
  cmdCevapAnahtariIptal_Click();
  m_nav.setPage(Page::General);
}

void frmRaporlar::cmdCogunlukCevabiDogru_Click() {
  reports::RunRevision revision(m_context.store, m_run);
  const Result<bool> done = revision.majorityAsKey(m_context.messages);
  if (!done.ok()) {
    m_context.messages.error(done.error());
    return;
  }
  // The editor shows the new key when it is open.
  if (done.value() && m_keyEditor) cmdCevapAnahtariDegistir_Click();
}

void frmRaporlar::lblABCDE_Click(const QString& letter) {
  const reports::QuestionView v = m_report->question(m_nav.question(), m_options);
  if (v.index < 0) return;
  // Clicking the key again takes it away: the question is left without a key.
  const QString key = v.question.key == letter ? QString() : letter;
  reports::RunRevision revision(m_context.store, m_run);
  if (!framework::check(m_context.messages, revision.setKey(v.question.position, key))) paint();
}

void frmRaporlar::cmdSoruSil_Click() {
  const reports::QuestionView v = m_report->question(m_nav.question(), m_options);
  if (v.index < 0) return;
  reports::RunRevision revision(m_context.store, m_run);
  const Result<bool> done = revision.removeQuestion(v.question.position, m_context.messages);
  if (!done.ok()) m_context.messages.warning(done.error());
}

// --- Exports -----------------------------------------------------------------------

void frmRaporlar::exportAnswers(const QString& path) {
  const QString file = path.isEmpty()
                           ? reportsui::reportFile(this, reports::ReportExports::answersFileName())
                           : path;
  if (file.isEmpty()) return;
  if (framework::check(m_context.messages,
                       reports::ReportExports::answersXlsx(*m_report, m_options, file)))
    reportsui::offerToOpen(m_context.messages, file);
}

void frmRaporlar::exportPdf(const QString& path) {
  const QString file =
      path.isEmpty() ? reportsui::reportFile(this, reports::ReportExports::viewsFileName()) : path;
  if (file.isEmpty()) return;
  if (framework::check(m_context.messages,
                       reports::ReportExports::viewsPdf(*m_report, m_options, file)))
    framework::openFile(m_context.messages, file);
}

void frmRaporlar::exportSheets(const QString& path) {
  const QString file =
      path.isEmpty() ? reportsui::reportFile(this, reports::ReportExports::sheetsFileName()) : path;
  if (file.isEmpty()) return;
  if (framework::check(m_context.messages,
                       reports::ReportExports::resultSheetsPdf(*m_report, file)))
    framework::openFile(m_context.messages, file);
}
