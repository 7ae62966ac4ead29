#include "framework/TestPreview.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Messages.h"
#include "framework/PresentationDisplay.h"
#include "framework/QuestionPicture.h"

TestPreview::TestPreview(const ScreenContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_context(context),
      m_picture(new QuestionPicture(this)),
      m_title(new QLabel(this)),
      m_counter(new QLabel(this)),
      m_previous(new QPushButton(QStringLiteral("Önceki Soru"), this)),
      m_next(new QPushButton(QStringLiteral("Sonraki Soru"), this)),
      m_close(new QPushButton(QStringLiteral("Kapat"), this)) {
  setObjectName(QStringLiteral("frmTestOnizleme"));
  setAttribute(Qt::WA_DeleteOnClose);
  m_counter->setObjectName(QStringLiteral("lblSayac"));
  m_next->setObjectName(QStringLiteral("cmdSonraki"));
  m_previous->setObjectName(QStringLiteral("cmdOnceki"));
  for (QPushButton* b : {m_previous, m_next, m_close}) b->setFocusPolicy(Qt::NoFocus);
  connect(m_previous, &QPushButton::clicked, this, [this] { go(-1); });
  connect(m_next, &QPushButton::clicked, this, [this] { go(+1); });
  connect(m_close, &QPushButton::clicked, this, &QWidget::close);
  auto* top = new QHBoxLayout;
  top->addWidget(m_title, 1);
  top->addWidget(m_counter);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_previous);
  buttons->addStretch(1);
  buttons->addWidget(m_close);
  buttons->addWidget(m_next);
  auto* box = new QVBoxLayout(this);
  box->addLayout(top);
  box->addWidget(m_picture, 1);
  box->addLayout(buttons);
}

Status TestPreview::open(const QString& testNo, const QString& title) {
  Result<delivery::RunContent> content =
      delivery::RunContent::load(m_context.store, testNo, delivery::RunSettings());
  if (!content) return Status::failure(content.error());
  m_questions = content.value().questions;
  setWindowTitle(QStringLiteral("Test Önizleme - ") + title);
  m_title->setText(title.isEmpty() ? testNo : testNo + QStringLiteral(" - ") + title);
  showQuestion(1);
  return {};
}

void TestPreview::openQuestion(const QString& soruNo) {
  m_questions = {delivery::RunQuestion{soruNo, {}, {}, {}}};
  setWindowTitle(QStringLiteral("Soru Önizleme"));
  m_title->setText(QStringLiteral("Soru No: ") + soruNo);
  showQuestion(1);
}

bool TestPreview::previewTest(const ScreenContext& context, const QString& testNo,
                              const QString& title, QWidget* near) {
  auto* preview = new TestPreview(context);
  if (Status s = preview->open(testNo, title); !s) {
    context.messages.warning(s.error());
    delete preview;
    return false;
  }
  framework::showFullScreenOn(preview, framework::presentationScreen(near));
  return true;
}

void TestPreview::previewQuestion(const ScreenContext& context, const QString& soruNo,
                                  QWidget* near) {
  auto* preview = new TestPreview(context);
  preview->openQuestion(soruNo);
  framework::showFullScreenOn(preview, framework::presentationScreen(near));
}

void TestPreview::go(int step) { showQuestion(m_position + step); }

void TestPreview::showQuestion(int position) {
  if (m_questions.isEmpty()) return;
  m_position = std::clamp(position, 1, int(m_questions.size()));
  const delivery::RunQuestion& q = m_questions.at(m_position - 1);
  Result<QImage> image = QuestionPicture::questionImage(m_context.store, q.soruNo, false);
  m_picture->setImage(QuestionPicture::trimmed(image.valueOr({})),
                      image ? QStringLiteral("Soru %1").arg(q.soruNo) : image.error());
  m_counter->setText(QStringLiteral("%1/%2").arg(m_position).arg(m_questions.size()));
  m_previous->setEnabled(m_position > 1);
  m_next->setEnabled(m_position < m_questions.size());
}

void TestPreview::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      close();
      return;
    case Qt::Key_Right:
    case Qt::Key_PageDown:
    case Qt::Key_Space:
      go(+1);
      return;
    case Qt::Key_Left:
    case Qt::Key_PageUp:
      go(-1);
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void TestPreview::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int h = std::max(height(), 600);
  for (QWidget* w : {static_cast<QWidget*>(m_title), static_cast<QWidget*>(m_counter)}) {
    QFont f = w->font();
    f.setPixelSize(h / 30);
    f.setBold(true);
    w->setFont(f);
  }
  for (QPushButton* b : {m_previous, m_next, m_close}) {
    QFont f = b->font();
    f.setPixelSize(h / 48);
    b->setFont(f);
    b->setMinimumHeight(std::max(44, h / 16));
  }
}
