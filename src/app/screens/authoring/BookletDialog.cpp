#include "screens/authoring/BookletDialog.h"

#include <QCheckBox>
#include <QDateTime>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>
#include <QVBoxLayout>

#include "Messages.h"
#include "authoring/BookletDocument.h"
#include "authoring/TestCatalog.h"
#include "authoring/TestForm.h"
#include "framework/FileDialogs.h"
#include "framework/ScreenHelpers.h"
#include "screens/authoring/AuthoringScreens.h"

using authoring::Booklet;
using authoring::BookletDocument;
using authoring::HeaderPlacement;

namespace {
const QString kSaveRight = QStringLiteral("KitapcikKaydet");
const QString kPrintRight = QStringLiteral("KitapcikYazdir");
}  // namespace

BookletDialog::BookletDialog(const ScreenContext& context, authoring::TestForm& form,
                             QWidget* parent)
    : QDialog(parent), m_context(context), m_form(form) {
  setObjectName(QStringLiteral("frameKitapcik"));
  setWindowTitle(BookletDocument::panelTitle());
  auto* v = new QVBoxLayout(this);

  auto* which = new QGroupBox(QStringLiteral("Kitapçıklar"), this);
  auto* wh = new QHBoxLayout(which);
  for (int b = 0; b < 4; ++b) {
    const QString letter = authoring::booklets::letter(Booklet(b));
    auto* box = new QCheckBox(QStringLiteral("%1 Kitapçığı").arg(letter), which);
    box->setObjectName(QStringLiteral("chkKitapcik%1").arg(letter));
    const bool exists = b == 0 || authoring::BookletOrders(context.store)
                                      .exists(form.fields().testNo, Booklet(b))
                                      .valueOr(false);
    m_bookletExists.at(size_t(b)) = exists;
    box->setEnabled(exists);
    box->setChecked(b == 0);
    m_booklets.at(size_t(b)) = box;
    wh->addWidget(box);
  }
  v->addWidget(which);

  m_key = new QCheckBox(BookletDocument::keyQuestion(), this);
  m_key->setObjectName(QStringLiteral("chkCevapAnahtari"));
  v->addWidget(m_key);

  auto* header = new QGroupBox(QStringLiteral("Başlık"), this);
  auto* hv = new QVBoxLayout(header);
  for (int p = 0; p < 3; ++p) {
    auto* r = new QRadioButton(authoring::bookletheader::caption(HeaderPlacement(p)), header);
    r->setObjectName(QStringLiteral("optKitapcikBasligi%1").arg(p));
    m_placement.at(size_t(p)) = r;
    hv->addWidget(r);
  }
  m_placement.at(size_t(form.booklet().header))->setChecked(true);
  auto* hh = new QHBoxLayout;
  m_header = new QLabel(header);
  m_header->setWordWrap(true);
  auto* cmdBaslik = framework::button(QStringLiteral("cmdBaslikSec"),
                                      QStringLiteral("Başlık Dosyası Seç"), header);
  hh->addWidget(m_header, 1);
  hh->addWidget(cmdBaslik);
  hv->addLayout(hh);
  v->addWidget(header);
  const bool hasHeader =
      !authoring::TestCatalog(context.store).header(form.fields().testNo).valueOr({}).isEmpty();
  m_header->setText(hasHeader
                        ? QStringLiteral("Bu testin kendi başlığı var.")
                        : QStringLiteral("Başlık: okulun adı, testin adı ve öğrenci bilgileri "
                                         "satırları."));

  auto* buttons = new QHBoxLayout;
  auto* cmdWord = framework::button(QStringLiteral("cmdKitapcikWord"),
                                    QStringLiteral("Dosyaya Kaydet (PDF/ODT)"), this);
  auto* cmdYazdir =
      framework::button(QStringLiteral("cmdKitapcikYazdir"), QStringLiteral("Yazdır"), this);
  auto* cmdIptal =
      framework::button(QStringLiteral("cmdKitapcikIptal"), QStringLiteral("Kapat"), this);
  buttons->addWidget(cmdWord);
  buttons->addWidget(cmdYazdir);
  buttons->addStretch(1);
  buttons->addWidget(cmdIptal);
  v->addLayout(buttons);
  // A disabled button says why.
  const bool maySave = authoringui::allowed(context, kSaveRight, false);
  const bool mayPrint = authoringui::allowed(context, kPrintRight, false);
  cmdWord->setEnabled(maySave);
  cmdYazdir->setEnabled(mayPrint);
  for (const auto& [ok, text] : {std::pair{maySave, BookletDocument::noSaveRightText()},
                                 std::pair{mayPrint, BookletDocument::noPrintRightText()}})
    if (!ok) v->addWidget(new QLabel(text, this));

  connect(cmdBaslik, &QPushButton::clicked, this, &BookletDialog::chooseHeader);
  connect(cmdWord, &QPushButton::clicked, this, [this] {
    const QString path = filedialogs::saveFile(
        this, QStringLiteral("Kitapcik"), QStringLiteral("Kitapçığı Kaydet"),
        BookletDocument::defaultName(QDateTime::currentDateTime()),
        QStringLiteral("PDF Belgesi (*.pdf);;OpenDocument Metni (*.odt)"), QStringLiteral("pdf"));
    if (!path.isEmpty()) kaydet(path);
  });
  connect(cmdYazdir, &QPushButton::clicked, this, &BookletDialog::yazdir);
  connect(cmdIptal, &QPushButton::clicked, this, &QDialog::reject);
}

void BookletDialog::readOptions() {
  authoring::BookletOptions& o = m_form.booklet();
  o.answerKey = m_key->isChecked();
  for (int p = 0; p < 3; ++p)
    if (m_placement.at(size_t(p))->isChecked()) o.header = HeaderPlacement(p);
}

void BookletDialog::chooseHeader() {
  const QString file = filedialogs::openFile(
      this, QStringLiteral("KitapcikBaslik"), QStringLiteral("Başlık Dosyasını Seçiniz"),
      QStringLiteral("Başlık Dosyaları (*.png *.jpg *.jpeg *.odt *.pdf *.html *.htm *.txt)"));
  if (file.isEmpty()) return;
  const Result<QByteArray> bytes = authoring::bookletheader::fromFile(file);
  Status s =
      bytes
          ? authoring::TestCatalog(m_context.store).setHeader(m_form.fields().testNo, bytes.value())
          : Status::failure(bytes.error());
  if (!s) {
    m_context.messages.warning(s.error());
    return;
  }
  m_header->setText(QStringLiteral("Bu testin kendi başlığı var."));
}

QList<Booklet> BookletDialog::chosenBooklets() const {
  QList<Booklet> out;
  for (int b = 0; b < 4; ++b)
    if (m_bookletExists.at(size_t(b)) && m_booklets.at(size_t(b))->isChecked()) out << Booklet(b);
  return out;
}

void BookletDialog::kaydet(const QString& path) {
  if (!authoringui::allowed(m_context, kSaveRight, true)) return;
  readOptions();
  QProgressDialog progress(QString(), QString(), 0, 0, this);
  progress.setWindowTitle(BookletDocument::panelTitle());
  progress.setMinimumDuration(300);
  QStringList written;
  for (const Booklet b : chosenBooklets()) {
    authoring::BookletOptions options = m_form.booklet();
    options.booklet = b;
    const QString file = BookletDocument::fileNameFor(path, b);
    const Status s = BookletDocument(m_context.store)
                         .write(m_form.fields().testNo, file, options,
                                [&progress](const QString& text, int i, int n) {
                                  progress.setMaximum(n);
                                  progress.setValue(i);
                                  progress.setLabelText(text);
                                });
    if (!s) {
      m_context.messages.warning(s.error());
      return;
    }
    written << file;
  }
  progress.close();
  if (written.isEmpty()) {
    m_context.messages.warning(QStringLiteral("Lütfen en az bir kitapçık seçiniz."));
    return;
  }
  m_context.messages.info(QStringLiteral("Kitapçık kaydedildi:\n%1").arg(written.join(u'\n')));
}

void BookletDialog::yazdir() {
  if (!authoringui::allowed(m_context, kPrintRight, true)) return;
  readOptions();
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageLayout(BookletDocument::pageLayout());
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(QStringLiteral("Kitapçığı Yazdır"));
  if (dialog.exec() != QDialog::Accepted) return;
  for (const Booklet b : chosenBooklets()) {
    authoring::BookletOptions options = m_form.booklet();
    options.booklet = b;
    auto doc = BookletDocument(m_context.store).build(m_form.fields().testNo, options);
    if (!doc) {
      m_context.messages.warning(doc.error());
      return;
    }
    doc.value()->print(&printer);
  }
}
