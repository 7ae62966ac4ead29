#include "framework/HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>
#include <QVBoxLayout>

#include "framework/ScreenHelp.h"
#include "framework/ScreenHelpers.h"
#include "help/HelpIndex.h"

namespace framework {

namespace {

QPointer<HelpWindow> g_window;

QString contentsPage() { return QString::fromLatin1(help::HelpIndex::kContentsPage); }
QString guidePage() { return QString::fromLatin1(help::HelpIndex::kGuidePage); }

}  // namespace

HelpWindow::HelpWindow(const help::HelpIndex& index, QWidget* parent)
    : QWidget(parent, Qt::Window), m_index(index) {
  setObjectName(QStringLiteral("frmYardim"));
  setWindowTitle(QStringLiteral("Yardım"));

  m_cmdGeri = framework::button(QStringLiteral("cmdGeri"), QStringLiteral("◀ Geri"), this);
  auto* cmdIcindekiler =
      framework::button(QStringLiteral("cmdIcindekiler"), QStringLiteral("İçindekiler"), this);
  auto* cmdIlkDers =
      framework::button(QStringLiteral("cmdIlkDers"), QStringLiteral("İlk Ders"), this);
  m_txtAra = new QLineEdit(this);
  m_txtAra->setObjectName(QStringLiteral("txtAra"));
  m_txtAra->setPlaceholderText(QStringLiteral("Yardımda ara: bir kelime yazın"));
  m_txtAra->setClearButtonEnabled(true);
  m_txtAra->setMinimumHeight(44);
  auto* cmdKapat = framework::button(QStringLiteral("cmdKapat"), QStringLiteral("Kapat"), this);

  m_lstSayfalar = new QListWidget(this);
  m_lstSayfalar->setObjectName(QStringLiteral("lstSayfalar"));
  m_lstSayfalar->setWordWrap(true);
  m_lstSayfalar->setSpacing(3);
  m_lstSayfalar->setMinimumWidth(260);
  m_txtSayfa = new QTextBrowser(this);
  m_txtSayfa->setObjectName(QStringLiteral("txtSayfa"));
  m_txtSayfa->setOpenLinks(false);
  QFont f = m_txtSayfa->font();
  f.setPointSizeF(f.pointSizeF() * 1.25);
  m_txtSayfa->setFont(f);

  auto* top = new QHBoxLayout;
  top->addWidget(m_cmdGeri);
  top->addWidget(cmdIcindekiler);
  top->addWidget(cmdIlkDers);
  top->addWidget(m_txtAra, 1);
  top->addWidget(cmdKapat);
  auto* split = new QSplitter(this);
  split->addWidget(m_lstSayfalar);
  split->addWidget(m_txtSayfa);
  split->setStretchFactor(1, 3);
  split->setSizes({300, 900});
  auto* box = new QVBoxLayout(this);
  box->addLayout(top);
  box->addWidget(split, 1);

  connect(m_cmdGeri, &QPushButton::clicked, this, &HelpWindow::back);
  connect(cmdIcindekiler, &QPushButton::clicked, this, [this] {
    m_txtAra->clear();
    showPage(contentsPage());
  });
  connect(cmdIlkDers, &QPushButton::clicked, this, [this] { showPage(guidePage()); });
  connect(cmdKapat, &QPushButton::clicked, this, &QWidget::close);
  connect(m_txtAra, &QLineEdit::textChanged, this, &HelpWindow::search);
  connect(m_lstSayfalar, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    if (item) showPage(item->data(Qt::UserRole).toString());
  });
  connect(m_lstSayfalar, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    if (item) showPage(item->data(Qt::UserRole).toString());
  });
  connect(m_txtSayfa, &QTextBrowser::anchorClicked, this, &HelpWindow::linkClicked);
  search(QString());
  m_cmdGeri->setEnabled(false);
}

HelpWindow* HelpWindow::current() { return g_window.data(); }

HelpWindow* HelpWindow::open(const QString& pageId) {
  // A modal window blocks every window that is not its own.
  QWidget* modal = QApplication::activeModalWidget();
  if (g_window && g_window->parentWidget() != modal) {
    g_window->hide();
    g_window->deleteLater();
    g_window.clear();
  }
  if (!g_window) {
    g_window = new HelpWindow(ScreenHelp::index(), modal);
    g_window->setAttribute(Qt::WA_DeleteOnClose);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect area = screen->availableGeometry();
      g_window->resize(std::max(900, area.width() * 2 / 3), std::max(600, area.height() * 3 / 4));
    }
  }
  if (!g_window->showPage(pageId)) g_window->showPage(contentsPage());
  g_window->show();
  g_window->raise();
  g_window->activateWindow();
  return g_window;
}

QString HelpWindow::withPictures(const QString& markdown, const QStringList& folders) {
  static const QRegularExpression picture(QStringLiteral(R"(!\[([^\]]*)\]\(([^)\s]+)\))"));
  QString out;
  qsizetype last = 0;
  for (auto it = picture.globalMatch(markdown); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    out += markdown.mid(last, m.capturedStart() - last);
    last = m.capturedEnd();
    for (const QString& folder : folders) {
      const QFileInfo file(QDir(folder).filePath(m.captured(2)));
      if (!file.isFile()) continue;
      out += QStringLiteral("![%1](%2)")
                 .arg(m.captured(1),
                      QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded));
      break;
    }
  }
  return out + markdown.mid(last);
}

bool HelpWindow::showPage(const QString& pageId) {
  const help::Page* page = m_index.page(pageId);
  if (!page) return false;
  if (!m_page.isEmpty() && m_page != pageId) m_history << m_page;
  m_page = pageId;
  m_cmdGeri->setEnabled(!m_history.isEmpty());
  m_txtSayfa->setMarkdown(withPictures(page->markdown, ScreenHelp::pictureFolders()));
  fitPictures();
  m_txtSayfa->verticalScrollBar()->setValue(0);
  setWindowTitle(QStringLiteral("Yardım - ") + page->title);
  for (int i = 0; i < m_lstSayfalar->count(); ++i)
    if (m_lstSayfalar->item(i)->data(Qt::UserRole).toString() == pageId)
      m_lstSayfalar->setCurrentRow(i);
  return true;
}

void HelpWindow::fitPictures() {
  // A screen's picture is as wide as the page, never wider: no sideways scrolling.
  const int room = std::max(200, m_txtSayfa->viewport()->width() - 40);
  QTextDocument* doc = m_txtSayfa->document();
  for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      QTextImageFormat image = fragment.charFormat().toImageFormat();
      if (!image.isValid()) continue;
      const QImage picture(QUrl(image.name()).toLocalFile());
      if (picture.isNull()) continue;
      const int width = std::min(room, picture.width());
      image.setWidth(width);
      image.setHeight(double(picture.height()) * width / picture.width());
      QTextCursor cursor(doc);
      cursor.setPosition(fragment.position());
      cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
      cursor.setCharFormat(image);
    }
  }
}

void HelpWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  fitPictures();
}

void HelpWindow::back() {
  if (m_history.isEmpty()) return;
  const QString previous = m_history.takeLast();
  m_page.clear();  // going back is not a step to remember
  showPage(previous);
  m_cmdGeri->setEnabled(!m_history.isEmpty());
}

void HelpWindow::listPages(const QStringList& ids, const QStringList& notes) {
  m_lstSayfalar->clear();
  for (qsizetype i = 0; i < ids.size(); ++i) {
    const help::Page* page = m_index.page(ids.at(i));
    if (!page) continue;
    const QString note = notes.value(i);
    auto* item = new QListWidgetItem(
        note.isEmpty() ? page->title : page->title + QLatin1Char('\n') + note, m_lstSayfalar);
    item->setData(Qt::UserRole, page->id);
    item->setSizeHint(QSize(item->sizeHint().width(), note.isEmpty() ? 44 : 100));
    if (page->id == m_page) m_lstSayfalar->setCurrentItem(item);
  }
}

void HelpWindow::search(const QString& words) {
  QStringList ids;
  QStringList notes;
  if (words.trimmed().isEmpty()) {
    // Contents first, the guide next, then the screens by title.
    QList<const help::Page*> pages;
    for (const help::Page& p : m_index.pages()) pages << &p;
    std::stable_sort(pages.begin(), pages.end(), [](const help::Page* a, const help::Page* b) {
      auto rank = [](const help::Page* p) {
        return p->id == contentsPage() ? 0 : p->id == guidePage() ? 1 : 2;
      };
      if (rank(a) != rank(b)) return rank(a) < rank(b);
      return a->title.localeAwareCompare(b->title) < 0;
    });
    for (const help::Page* p : pages) ids << p->id;
    listPages(ids, notes);
    return;
  }
  const QList<help::Hit> hits = m_index.search(words);
  for (const help::Hit& h : hits) {
    ids << h.id;
    notes << h.excerpt;
  }
  listPages(ids, notes);
  if (hits.isEmpty()) {
    auto* none = new QListWidgetItem(
        QStringLiteral("\"%1\" hiçbir sayfada yok.").arg(words.trimmed()), m_lstSayfalar);
    none->setFlags(Qt::NoItemFlags);
  }
}

void HelpWindow::linkClicked(const QUrl& url) {
  // Only the pages themselves: the help never opens a browser.
  const QString name = QFileInfo(url.path()).fileName();
  if (name.endsWith(QLatin1String(".md"))) showPage(name.chopped(3));
}

}  // namespace framework
