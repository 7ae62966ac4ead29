#include "help/HelpIndex.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace help {

namespace {

QList<Page> loadFolder(const QString& folder) {
  QList<Page> pages;
  const QDir dir(folder);
  for (const QString& name : dir.entryList({QStringLiteral("*.md")}, QDir::Files, QDir::Name)) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::ReadOnly)) continue;
    pages << HelpIndex::parse(name.chopped(3), QString::fromUtf8(file.readAll()));
  }
  return pages;
}

int occurrences(const QString& haystack, const QString& needle) {
  int n = 0;
  for (qsizetype at = haystack.indexOf(needle); at >= 0; at = haystack.indexOf(needle, at + 1)) ++n;
  return n;
}

QString excerptAround(const QString& plain, qsizetype at, qsizetype length) {
  constexpr qsizetype kBefore = 40;
  constexpr qsizetype kAfter = 80;
  qsizetype from = std::max<qsizetype>(0, at - kBefore);
  qsizetype to = std::min(plain.size(), at + length + kAfter);
  // Whole words at both ends.
  while (from > 0 && !plain.at(from - 1).isSpace()) --from;
  while (to < plain.size() && !plain.at(to).isSpace()) ++to;
  QString out = plain.mid(from, to - from).simplified();
  if (from > 0) out.prepend(QStringLiteral("… "));
  if (to < plain.size()) out.append(QStringLiteral(" …"));
  return out;
}

}  // namespace

HelpIndex HelpIndex::builtIn() { return fromFolder(QStringLiteral(":/yardim")); }

HelpIndex HelpIndex::fromFolder(const QString& folder) {
  HelpIndex index;
  index.m_pages = loadFolder(folder);
  return index;
}

const Page* HelpIndex::page(const QString& id) const {
  for (const Page& p : m_pages)
    if (p.id == id) return &p;
  return nullptr;
}

QString HelpIndex::fold(const QString& text) {
  QString out = text;
  for (QChar& c : out) {
    if (c == QLatin1Char('I'))
      c = QChar(0x0131);          // ı
    else if (c == QChar(0x0130))  // İ
      c = QLatin1Char('i');
    else
      c = c.toLower();
  }
  return out;
}

QString HelpIndex::plainText(const QString& markdown) {
  static const QRegularExpression picture(QStringLiteral(R"(!\[([^\]]*)\]\([^)]*\))"));
  static const QRegularExpression link(QStringLiteral(R"(\[([^\]]*)\]\([^)]*\))"));
  static const QRegularExpression heading(QStringLiteral(R"((?m)^\s{0,3}#{1,6}\s*)"));
  static const QRegularExpression bullet(QStringLiteral(R"((?m)^\s*(?:[-*+]|\d+\.)\s+)"));
  static const QRegularExpression rule(QStringLiteral(R"((?m)^\s*\|?[-:| ]{3,}\|?\s*$)"));
  static const QRegularExpression comment(QStringLiteral(R"(<!--.*?-->)"),
                                          QRegularExpression::DotMatchesEverythingOption);
  QString text = markdown;
  text.replace(comment, QString());
  text.replace(picture, QStringLiteral("\\1"));
  text.replace(link, QStringLiteral("\\1"));
  text.replace(rule, QString());
  text.replace(heading, QString());
  text.replace(bullet, QString());
  for (const QString& mark : {QStringLiteral("**"), QStringLiteral("__"), QStringLiteral("`"),
                              QStringLiteral("|"), QStringLiteral(">")})
    text.replace(mark, QStringLiteral(" "));
  return text;
}

Page HelpIndex::parse(const QString& id, const QString& markdown) {
  static const QRegularExpression title(QStringLiteral(R"((?m)^#\s+(.+?)\s*$)"));
  static const QRegularExpression picture(QStringLiteral(R"(!\[[^\]]*\]\(([^)\s]+)\))"));
  static const QRegularExpression link(
      QStringLiteral(R"((?<!!)\[[^\]]*\]\(([^)\s#]+)\.md(?:#[^)]*)?\))"));
  Page page;
  page.id = id;
  page.markdown = markdown;
  page.plain = plainText(markdown);
  const QRegularExpressionMatch t = title.match(markdown);
  page.title = t.hasMatch() ? t.captured(1) : id;
  for (auto it = picture.globalMatch(markdown); it.hasNext();)
    page.pictures << it.next().captured(1);
  for (auto it = link.globalMatch(markdown); it.hasNext();) {
    const QString target = it.next().captured(1);
    if (!page.links.contains(target)) page.links << target;
  }
  return page;
}

QList<Hit> HelpIndex::search(const QString& words) const {
  const QStringList wanted =
      fold(words).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
  QList<Hit> hits;
  if (wanted.isEmpty()) return hits;
  for (const Page& p : m_pages) {
    const QString body = fold(p.plain);
    const QString head = fold(p.title);
    Hit hit{p.id, p.title, {}, 0};
    bool all = true;
    for (const QString& w : wanted) {
      const int inBody = occurrences(body, w);
      if (inBody == 0) {
        all = false;
        break;
      }
      hit.count += inBody + 4 * occurrences(head, w);
    }
    if (!all) continue;
    hit.excerpt = excerptAround(p.plain, body.indexOf(wanted.first()), wanted.first().size());
    hits << hit;
  }
  std::stable_sort(hits.begin(), hits.end(),
                   [](const Hit& a, const Hit& b) { return a.count > b.count; });
  return hits;
}

QStringList HelpIndex::brokenLinks() const {
  QStringList out;
  for (const Page& p : m_pages)
    for (const QString& target : p.links)
      if (!has(target)) out << p.id + QStringLiteral(" → ") + target;
  return out;
}

QStringList HelpIndex::pictures() const {
  QStringList out;
  for (const Page& p : m_pages)
    for (const QString& picture : p.pictures)
      if (!out.contains(picture)) out << picture;
  return out;
}

}  // namespace help
