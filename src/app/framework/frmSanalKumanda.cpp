#include "framework/frmSanalKumanda.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "framework/ReceiverController.h"
#include "framework/SanalKumandaHost.h"
#include "receiver/Colors.h"
#include "store/Parameters.h"

namespace {
const std::array<QString, 6> kLetters = {QStringLiteral("A"), QStringLiteral("B"),
                                         QStringLiteral("C"), QStringLiteral("D"),
                                         QStringLiteral("E"), QStringLiteral("X")};
}

frmSanalKumanda::frmSanalKumanda(QWidget* opener, framework::ReceiverController* controller)
    : QWidget(opener, Qt::Tool | Qt::WindowStaysOnTopHint),
      m_opener(opener),
      m_controller(controller),
      m_lstAdresler(new QListWidget(this)),
      m_LVSorular(new QTreeWidget(this)),
      m_txtAdi(new QLineEdit(this)),
      m_txtSoyadi(new QLineEdit(this)) {
  setObjectName(QStringLiteral("frmSanalKumanda"));
  setWindowTitle(QStringLiteral("Sanal Kumanda"));
  setAttribute(Qt::WA_DeleteOnClose);

  auto* grid = new QGridLayout;
  QFont big = font();
  big.setPointSize(big.pointSize() + 6);
  big.setBold(true);
  for (int i = 0; i < 6; ++i) {
    auto* b = new QPushButton(i == 5 ? QStringLiteral("BOŞ") : kLetters[size_t(i)], this);
    b->setObjectName(QStringLiteral("cmdDugme%1").arg(i));
    b->setCheckable(true);
    b->setFont(big);
    b->setMinimumSize(64, 48);
    b->setFocusPolicy(Qt::NoFocus);
    connect(b, &QPushButton::clicked, this, [this, i] { cmdDugme_Click(i); });
    grid->addWidget(b, i / 3, i % 3);
    m_buttons[size_t(i)] = b;
  }

  m_lstAdresler->setObjectName(QStringLiteral("lstAdresler"));
  m_LVSorular->setObjectName(QStringLiteral("LVSorular"));
  m_LVSorular->setHeaderLabels({QStringLiteral("Soru"), QStringLiteral("Cevap")});
  m_LVSorular->setRootIsDecorated(false);
  m_txtAdi->setObjectName(QStringLiteral("txtAdi"));
  m_txtSoyadi->setObjectName(QStringLiteral("txtSoyadi"));

  auto* names = new QFormLayout;
  names->addRow(QStringLiteral("Adı:"), m_txtAdi);
  names->addRow(QStringLiteral("Soyadı:"), m_txtSoyadi);
  auto* lists = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addWidget(new QLabel(QStringLiteral("Kumanda:"), this));
  left->addWidget(m_lstAdresler);
  lists->addLayout(left, 1);
  lists->addWidget(m_LVSorular, 2);
  auto* help = new QLabel(helpText(), this);
  help->setObjectName(QStringLiteral("lblYardim"));
  help->setWordWrap(true);
  auto* box = new QVBoxLayout(this);
  box->addWidget(help);
  box->addLayout(grid);
  box->addLayout(names);
  box->addLayout(lists, 1);
  resize(360, 420);

  m_txtAdi->setText(store::UserSettings::get(kSection, QStringLiteral("Adi")));
  m_txtSoyadi->setText(store::UserSettings::get(kSection, QStringLiteral("Soyadi")));
  connect(m_txtAdi, &QLineEdit::textChanged, this,
          [](const QString& t) { store::UserSettings::set(kSection, QStringLiteral("Adi"), t); });
  connect(m_txtSoyadi, &QLineEdit::textChanged, this, [](const QString& t) {
    store::UserSettings::set(kSection, QStringLiteral("Soyadi"), t);
  });
  bool okTop = false, okLeft = false;
  const int top = store::UserSettings::get(kSection, QStringLiteral("Ustu")).toInt(&okTop);
  const int leftPos = store::UserSettings::get(kSection, QStringLiteral("Solu")).toInt(&okLeft);
  if (okTop && okLeft) {
    move(leftPos, top);
  } else if (m_opener) {
    // First opening: at the right of the window it answers for, clear of its menu.
    const QRect area = m_opener->window()->geometry();
    move(area.right() - width() - 24, area.top() + 80);
  }

  // Letter keys press the buttons wherever the focus is, except while typing a name.
  installEventFilter(this);
  m_lstAdresler->installEventFilter(this);
  m_LVSorular->installEventFilter(this);
  if (m_opener) m_opener->installEventFilter(this);
  fill();
}

frmSanalKumanda::~frmSanalKumanda() { savePosition(); }

void frmSanalKumanda::fill() {
  const auto* host = dynamic_cast<const SanalKumandaHost*>(m_opener.data());
  if (!host) return;
  m_lstAdresler->addItems(host->remoteAddresses());
  const QStringList questions = host->questionTitles();
  for (const QString& q : questions)
    m_LVSorular->addTopLevelItem(new QTreeWidgetItem({q, QString()}));
}

void frmSanalKumanda::cmdDugme_Click(int index) {
  if (index < 0 || index > 5) return;
  for (int i = 0; i < 6; ++i) {
    QPushButton* b = m_buttons[size_t(i)];
    b->setChecked(i == index);
    QPalette pal = b->palette();
    pal.setColor(QPalette::ButtonText, i == index
                                           ? receiver::colorFromColorRef(receiver::colors::kRed)
                                           : QColor(Qt::black));
    b->setPalette(pal);
  }
  const QString letter = kLetters[size_t(index)];
  if (const auto* host = dynamic_cast<const SanalKumandaHost*>(m_opener.data())) {
    if (QTreeWidgetItem* row = m_LVSorular->topLevelItem(host->currentQuestion()))
      row->setText(1, letter);
  }
  const QListWidgetItem* selected = m_lstAdresler->currentItem();
  const QString address = selected && selected->isSelected() ? selected->text() : QString();
  if (!m_controller) return;
  if (m_opener) m_controller->router().focusWindow(m_opener);
  m_controller->DugmeBasildi(address, letter, kCode);
}

bool frmSanalKumanda::letterKey(QKeyEvent* event) {
  const QString text = event->text().toUpper();
  for (int i = 0; i < 6; ++i) {
    if (text == kLetters[size_t(i)]) {
      cmdDugme_Click(i);
      return true;
    }
  }
  return false;
}

bool frmSanalKumanda::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_opener) {
    if (event->type() == QEvent::Close) close();
    return false;
  }
  if (event->type() == QEvent::KeyPress && letterKey(static_cast<QKeyEvent*>(event))) return true;
  return QWidget::eventFilter(watched, event);
}

void frmSanalKumanda::closeEvent(QCloseEvent* event) {
  savePosition();
  QWidget::closeEvent(event);
}

void frmSanalKumanda::savePosition() {
  if (m_saved) return;
  m_saved = true;
  store::UserSettings::set(kSection, QStringLiteral("Ustu"), QString::number(pos().y()));
  store::UserSettings::set(kSection, QStringLiteral("Solu"), QString::number(pos().x()));
}
