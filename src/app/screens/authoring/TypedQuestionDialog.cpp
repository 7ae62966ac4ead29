#include "screens/authoring/TypedQuestionDialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

#include "Messages.h"
#include "framework/FileDialogs.h"
#include "screens/authoring/PictureBox.h"

using authoring::TypedQuestion;

StemEdit::StemEdit(QWidget* parent) : QTextEdit(parent) {
  setObjectName(QStringLiteral("txtSoruMetni"));
  QFont f = font();
  f.setPixelSize(TypedQuestion::kFontPixels);
  document()->setDefaultFont(f);
  setAcceptRichText(true);
}

void StemEdit::insertPicture(const QImage& image) {
  if (image.isNull()) return;
  // A name no picture of the stem has yet (a reopened question brings its own).
  QString name;
  do name = QStringLiteral("resim%1").arg(++m_pictures);
  while (!document()->resource(QTextDocument::ImageResource, QUrl(name)).isNull());
  document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
  QTextImageFormat format;
  format.setName(name);
  // Wider pictures are shown at the width the text is laid out at.
  if (image.width() > TypedQuestion::kLayoutWidth) format.setWidth(TypedQuestion::kLayoutWidth);
  textCursor().insertImage(format);
}

bool StemEdit::canInsertFromMimeData(const QMimeData* source) const {
  return source->hasImage() || QTextEdit::canInsertFromMimeData(source);
}

void StemEdit::insertFromMimeData(const QMimeData* source) {
  if (source->hasImage()) {
    insertPicture(qvariant_cast<QImage>(source->imageData()));
    return;
  }
  if (source->hasUrls()) {
    for (const QUrl& url : source->urls())
      if (url.isLocalFile() && PictureBox::acceptsFile(url.toLocalFile())) {
        insertPicture(QImage(url.toLocalFile()));
        return;
      }
  }
  QTextEdit::insertFromMimeData(source);
}

TypedQuestionDialog::TypedQuestionDialog(Messages& messages, QWidget* parent)
    : QDialog(parent), m_messages(messages) {
  setObjectName(QStringLiteral("frmSoruYaz"));
  setWindowTitle(QStringLiteral("Soruyu Yazarak Hazırla"));
  auto* root = new QVBoxLayout(this);

  auto* tools = new QHBoxLayout;
  const struct {
    const char* name;
    const char* caption;
  } kTools[] = {{"cmdKalin", "Kalın"},
                {"cmdItalik", "İtalik"},
                {"cmdUstSimge", "Üst Simge"},
                {"cmdAltSimge", "Alt Simge"},
                {"cmdResimEkle", "Resim Ekle"}};
  for (int i = 0; i < 5; ++i) {
    auto* b = new QPushButton(QString::fromUtf8(kTools[i].caption), this);
    b->setObjectName(QString::fromLatin1(kTools[i].name));
    b->setAutoDefault(false);
    b->setMinimumHeight(36);
    tools->addWidget(b);
    connect(b, &QPushButton::clicked, this, [this, i] { toggleFormat(i); });
  }
  tools->addStretch(1);
  root->addLayout(tools);

  root->addWidget(new QLabel(QStringLiteral("Soru metni (resim yapıştırabilirsiniz):"), this));
  m_stem = new StemEdit(this);
  m_stem->setMinimumSize(640, 220);
  root->addWidget(m_stem, 1);

  auto* form = new QFormLayout;
  for (int i = 0; i < TypedQuestion::kMaxChoices; ++i) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QStringLiteral("txtSik%1").arg(QChar(u'A' + i)));
    e->setMinimumHeight(34);
    m_choices.at(size_t(i)) = e;
    form->addRow(QStringLiteral("%1)").arg(QChar(u'A' + i)), e);
  }
  root->addLayout(form);

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("Tamam"), QDialogButtonBox::AcceptRole)
      ->setObjectName(QStringLiteral("cmdTamam"));
  buttons->addButton(QStringLiteral("Vazgeç"), QDialogButtonBox::RejectRole)
      ->setObjectName(QStringLiteral("cmdVazgec"));
  connect(buttons, &QDialogButtonBox::accepted, this, &TypedQuestionDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  root->addWidget(buttons);
  resize(820, 620);
}

void TypedQuestionDialog::toggleFormat(int which) {
  QTextCharFormat current = m_stem->currentCharFormat();
  QTextCharFormat f;
  switch (which) {
    case 0:
      f.setFontWeight(current.fontWeight() > QFont::Normal ? QFont::Normal : QFont::Bold);
      break;
    case 1:
      f.setFontItalic(!current.fontItalic());
      break;
    case 2:
    case 3: {
      const auto align =
          which == 2 ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignSubScript;
      f.setVerticalAlignment(current.verticalAlignment() == align ? QTextCharFormat::AlignNormal
                                                                  : align);
      break;
    }
    default: {
      const QString file = filedialogs::openFile(
          this, QStringLiteral("Fotograf"), QStringLiteral("Resim Dosyanızı Seçiniz"),
          QStringLiteral("Resim Dosyaları (*.jpg *.jpeg *.png)"));
      if (!file.isEmpty()) m_stem->insertPicture(QImage(file));
      m_stem->setFocus();
      return;
    }
  }
  m_stem->mergeCurrentCharFormat(f);
  m_stem->setFocus();
}

void TypedQuestionDialog::setQuestion(const TypedQuestion& question) {
  std::unique_ptr<QTextDocument> doc = question.stemDocument();
  doc->setParent(m_stem);
  m_stem->setDocument(doc.release());
  const QStringList choices = question.choices();
  for (int i = 0; i < TypedQuestion::kMaxChoices; ++i) {
    const QString c = choices.value(i);
    m_choices.at(size_t(i))->setText(
        Qt::mightBeRichText(c) ? QTextDocumentFragment::fromHtml(c).toPlainText() : c);
  }
}

TypedQuestion TypedQuestionDialog::question() const {
  TypedQuestion t;
  t.setStem(*m_stem->document());
  for (int i = 0; i < TypedQuestion::kMaxChoices; ++i)
    t.setChoice(i, m_choices.at(size_t(i))->text().trimmed());
  return t;
}

void TypedQuestionDialog::accept() {
  const QString problem = question().problem();
  if (!problem.isEmpty()) {
    m_messages.warning(problem);
    return;
  }
  QDialog::accept();
}
