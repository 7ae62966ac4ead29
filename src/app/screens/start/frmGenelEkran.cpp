#include "screens/start/frmGenelEkran.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "users/Rights.h"

frmGenelEkran::frmGenelEkran(QWidget* parent)
    : QWidget(parent),
      m_school(new QLabel(this)),
      m_receiver(new QLabel(this)),
      m_tiles(new QGridLayout) {
  setObjectName(QStringLiteral("frmGenelEkran"));
  setWindowTitle(QStringLiteral("Ana Sayfa"));
  setAttribute(Qt::WA_StyledBackground, true);
  setStyleSheet(QStringLiteral(
      "#frmGenelEkran { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #eaf1fb, stop:1 "
      "#ffffff); }"
      "#lblBaslik { color: #1f4e8c; }"
      "#lblOkul { color: #333333; }"
      "QPushButton[tile=\"true\"] { background: #ffffff; border: 1px solid #b8c9e4; border-radius: "
      "10px;"
      "  padding: 14px; text-align: left; color: #1d2b3a; }"
      "QPushButton[tile=\"true\"]:hover { background: #f2f7ff; border-color: #3465a4; }"
      "QPushButton[tile=\"true\"]:pressed { background: #dce8fa; }"
      "QPushButton[tile=\"true\"]:disabled { background: #f3f5f8; border-color: #dde3ea; "
      "color: #9aa3ae; }"
      "#grpAdimlar { background: #ffffff; border: 1px solid #d5deea; border-radius: 10px; }"));

  auto* title = new QLabel(QStringLiteral("Derslik"), this);
  title->setObjectName(QStringLiteral("lblBaslik"));
  QFont tf = title->font();
  tf.setPointSizeF(tf.pointSizeF() * 3.0);
  tf.setBold(true);
  title->setFont(tf);

  m_school->setObjectName(QStringLiteral("lblOkul"));
  QFont sf = m_school->font();
  sf.setPointSizeF(sf.pointSizeF() * 1.5);
  m_school->setFont(sf);

  m_receiver->setObjectName(QStringLiteral("lblAliciDurumu"));
  QFont rf = m_receiver->font();
  rf.setPointSizeF(rf.pointSizeF() * 1.2);
  m_receiver->setFont(rf);
  setReceiverState(false);

  auto* steps = new QLabel(this);
  steps->setObjectName(QStringLiteral("grpAdimlar"));
  steps->setWordWrap(true);
  steps->setTextFormat(Qt::RichText);
  steps->setContentsMargins(18, 12, 18, 12);
  steps->setText(QStringLiteral(
      "<b>İlk adımlar</b><ol>"
      "<li>Sınıf listenizi e-Okul'dan aldığınız Excel dosyasından aktarın ya da öğrencileri elle "
      "ekleyin.</li>"
      "<li>Alıcıyı takın, kumandaları tanıtın ve öğrencilerle eşleştirin.</li>"
      "<li>Soru bankasına sorularınızı ekleyin, bir test hazırlayın.</li>"
      "<li>Testi sınıfta uygulayın; sonuçlar ve raporlar hemen hazır olur.</li></ol>"));

  auto* header = new QVBoxLayout;
  header->setSpacing(4);
  header->addWidget(title);
  header->addWidget(m_school);
  header->addWidget(m_receiver);

  m_tiles->setSpacing(16);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(40, 28, 40, 28);
  layout->setSpacing(22);
  layout->addLayout(header);
  layout->addLayout(m_tiles);
  layout->addWidget(steps);
  layout->addStretch(1);
}

void frmGenelEkran::setSchoolName(const QString& name) {
  const QString n = name.trimmed();
  m_school->setText(n.isEmpty() ? QStringLiteral("Sınıf yanıt sistemi") : n);
}

void frmGenelEkran::setReceiverState(bool connected, const QString& detail) {
  QString text =
      connected ? QStringLiteral("● Alıcı Bağlı") : QStringLiteral("● Alıcı Bağlı Değil");
  if (!detail.isEmpty()) text += QStringLiteral("  (") + detail + QLatin1Char(')');
  m_receiver->setText(text);
  m_receiver->setStyleSheet(connected ? QStringLiteral("color: #2e7d32;")
                                      : QStringLiteral("color: #c62828;"));
}

void frmGenelEkran::setTiles(const QList<Tile>& tiles) {
  while (QLayoutItem* item = m_tiles->takeAt(0)) {
    delete item->widget();
    delete item;
  }
  // Two columns: a tile's one-line description fits even at 1280 pixels.
  constexpr int kColumns = 2;
  int i = 0;
  for (const Tile& t : tiles) {
    auto* b = new QPushButton(t.title + QLatin1Char('\n') + t.description, this);
    b->setObjectName(QStringLiteral("cmdKutu%1").arg(t.index));
    b->setProperty("tile", true);
    b->setMinimumHeight(86);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    QFont f = b->font();
    f.setPointSizeF(f.pointSizeF() * 1.15);
    b->setFont(f);
    b->setEnabled(t.enabled);
    if (!t.enabled) b->setToolTip(users::kDeniedMessage);
    const int index = t.index;
    connect(b, &QPushButton::clicked, this, [this, index] { emit tileClicked(index); });
    m_tiles->addWidget(b, i / kColumns, i % kColumns);
    ++i;
  }
}
