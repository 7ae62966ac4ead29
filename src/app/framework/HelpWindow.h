#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTextBrowser;
class QUrl;

namespace help {
class HelpIndex;
}

namespace framework {

// The help: Derslik's own pages, drawn from Markdown, with the list of pages, a
// search over all of them and links between them. Nothing leaves the computer.
class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  explicit HelpWindow(const help::HelpIndex& index, QWidget* parent = nullptr);

  // The one help window, made on first use and brought forward after that; with
  // a modal window open it belongs to that window so that it takes input.
  static HelpWindow* open(const QString& pageId);
  static HelpWindow* current();

  // False for a page that does not exist (the window stays where it was).
  bool showPage(const QString& pageId);
  QString currentPage() const { return m_page; }
  // Lists the pages that hold every word; an empty text lists every page.
  void search(const QString& words);
  void back();

  QLineEdit* searchBox() const { return m_txtAra; }
  QListWidget* pageList() const { return m_lstSayfalar; }
  QTextBrowser* browser() const { return m_txtSayfa; }

  // The Markdown shown for a page: pictures found in `folders` point at their
  // files, pictures not found are left out (the text reads without them).
  static QString withPictures(const QString& markdown, const QStringList& folders);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void fitPictures();
  void linkClicked(const QUrl& url);
  void listPages(const QStringList& ids, const QStringList& notes);

  const help::HelpIndex& m_index;
  QString m_page;
  QStringList m_history;
  QLineEdit* m_txtAra;
  QListWidget* m_lstSayfalar;
  QTextBrowser* m_txtSayfa;
  QPushButton* m_cmdGeri;
};

}  // namespace framework
