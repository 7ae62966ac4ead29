#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace help {

// One help page: a Markdown file whose name (without .md) is its id. A screen's
// page is named after the screen's objectName, so finding it needs no table.
struct Page {
  QString id;
  QString title;         // the first "# " heading, else the id
  QString markdown;      // as written
  QString plain;         // what a reader sees: the text without Markdown marks
  QStringList pictures;  // image paths as the page names them ("resim/x.png")
  QStringList links;     // ids of the other pages it links to
};

struct Hit {
  QString id;
  QString title;
  QString excerpt;  // the words around the first match
  int count = 0;    // how often the words occur (title matches count more)
};

// The help pages and the search over them. Matching is Turkish: "ışık" finds
// "IŞIK" and "il" finds "İL", but "i" never finds "I".
class HelpIndex {
 public:
  static constexpr const char* kContentsPage = "frmYardim";
  static constexpr const char* kGuidePage = "ilk-ders";

  // The pages compiled into the program.
  static HelpIndex builtIn();
  // The *.md files of a folder (the source tree's pages, for tests and tools).
  static HelpIndex fromFolder(const QString& folder);

  bool isEmpty() const { return m_pages.isEmpty(); }
  const QList<Page>& pages() const { return m_pages; }
  const Page* page(const QString& id) const;
  bool has(const QString& id) const { return page(id) != nullptr; }

  // Pages holding every word of `words`, best first; empty words find nothing.
  QList<Hit> search(const QString& words) const;

  // "from → to" for every link to a page that does not exist.
  QStringList brokenLinks() const;
  // Every picture any page names, each once.
  QStringList pictures() const;

  // Lower case by Turkish rules, one character for one (so positions carry over).
  static QString fold(const QString& text);
  // A Markdown text as plain words (headings, emphasis, tables, links, pictures).
  static QString plainText(const QString& markdown);
  // Parses one page.
  static Page parse(const QString& id, const QString& markdown);

 private:
  QList<Page> m_pages;
};

}  // namespace help
