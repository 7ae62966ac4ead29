#include "reports/ReportExports.h"

#include <QFont>
#include <QFontMetricsF>
#include <QStringList>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>

#include "formats/DocumentFiles.h"
#include "formats/XlsxWriter.h"
#include "reports/RunReport.h"

namespace reports {

namespace {

constexpr int kQuestionsPerTable = 20;  // a student's answers across an A4 page
const QString kLetters = QStringLiteral("ABCDE");
// The wide tables are printed across A4 turned sideways.
constexpr QPageLayout::Orientation kWide = QPageLayout::Landscape;

QString esc(const QString& s) { return s.toHtmlEscaped(); }
QString lines(const QString& s) {
  return esc(s).replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

// The body font of every report document, and what its text measures.
QFont bodyFont(bool bold = false) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPointSizeF(9);
  f.setBold(bold);
  return f;
}

QString head(const QString& title) {
  return QStringLiteral(
             "<html><head><style>body{font-family:'DejaVu Sans';font-size:9pt} "
             "th{background-color:#d9d9d9} h1{font-size:14pt} h2{font-size:12pt} "
             "h3{font-size:10pt}</style></head><body><h1>%1</h1>")
      .arg(esc(title));
}

QString table(const QStringList& captions, const QList<QStringList>& rows) {
  QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\"><tr>");
  for (const QString& c : captions) html += QStringLiteral("<th>%1</th>").arg(lines(c));
  html += QStringLiteral("</tr>");
  for (const QStringList& r : rows) {
    html += QStringLiteral("<tr>");
    for (const QString& cell : r) html += QStringLiteral("<td>%1</td>").arg(lines(cell));
    html += QStringLiteral("</tr>");
  }
  return html + QStringLiteral("</table>");
}

// A cell's text longer than this wraps between its words; shorter text never does.
constexpr double kWrapAbove = 220;
// Border and padding of a cell (cellpadding 3 a side, a border line).
constexpr double kCellFrame = 9;

// A table too wide for the page, as tables that fit it: the first `keep` columns
// (the names) on every one, the others in order as many as fit, the header
// repeated on every page a table runs over. Every column is as wide as its
// widest word, a short cell keeps its words on one line.
QString fittedTables(const QStringList& captions, const QList<QStringList>& rows, int keep,
                     double pageWidth) {
  const QFontMetricsF body(bodyFont());
  const QFontMetricsF bold(bodyFont(true));
  const auto widest = [](const QFontMetricsF& fm, const QString& text, bool words) {
    double w = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
      for (const QString& part : words ? line.split(QLatin1Char(' ')) : QStringList{line})
        w = std::max(w, fm.horizontalAdvance(part));
    return w;
  };
  QList<double> width(captions.size(), 0);
  QList<bool> nowrap(captions.size(), true);
  for (int c = 0; c < captions.size(); ++c) {
    width[c] = widest(bold, captions.at(c), true);
    for (const QStringList& r : rows) {
      const QString cell = r.value(c);
      double w = widest(body, cell, false);
      if (w > kWrapAbove) {
        nowrap[c] = false;
        w = std::max(kWrapAbove, widest(body, cell, true));
      }
      width[c] = std::max(width[c], w);
    }
    width[c] += kCellFrame;
  }
  double kept = 2;
  for (int c = 0; c < keep && c < captions.size(); ++c) kept += width.at(c);

  QString html;
  for (int from = keep; from < captions.size() || from == keep;) {
    QList<int> columns;
    for (int c = 0; c < keep && c < captions.size(); ++c) columns << c;
    double used = kept;
    int to = from;
    while (to < captions.size() && (to == from || used + width.at(to) <= pageWidth)) {
      used += width.at(to);
      columns << to++;
    }
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\"><thead><tr>");
    // The measured widths, fixed: left to itself the layout shares the page out
    // evenly and wraps the names.
    for (int c : columns)
      html += QStringLiteral("<th width=\"%1\">%2</th>")
                  .arg(qRound(width.at(c) - kCellFrame + 2))
                  .arg(lines(captions.at(c)));
    html += QStringLiteral("</tr></thead>");
    for (const QStringList& r : rows) {
      html += QStringLiteral("<tr>");
      for (int c : columns)
        html += (nowrap.at(c) ? QStringLiteral("<td style=\"white-space:nowrap\">%1</td>")
                              : QStringLiteral("<td>%1</td>"))
                    .arg(lines(r.value(c)));
      html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table><p></p>");
    if (to == from) break;
    from = to;
  }
  return html;
}

// The text width of a wide page, less a little for rounding of the measures.
double widePageWidth() { return formats::pdfTextWidth(kWide) - 16; }

QString countRow(const QString& caption, const Count& c) {
  return QStringLiteral(
             "<tr><td>%1</td><td align=\"right\">%2</td><td align=\"right\">%%3</td></tr>")
      .arg(esc(caption))
      .arg(c.count)
      .arg(c.percent);
}

QString generalHtml(const GeneralView& g) {
  QString html = QStringLiteral(
                     "<h2>Genel Durum</h2><p>Soru sayısı: %1 &nbsp; Katılımcı sayısı: "
                     "%2 &nbsp; Cevap sayısı: %3</p>")
                     .arg(g.questions)
                     .arg(g.participants)
                     .arg(g.answers);
  if (!g.leftOutCaption.isEmpty())
    html += QStringLiteral("<p>%1: %2</p>").arg(esc(g.leftOutCaption), esc(g.leftOutNames));
  if (!g.unscoredNote.isEmpty())
    html += QStringLiteral("<p><b>%1</b></p>").arg(esc(g.unscoredNote));
  html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">");
  html += countRow(QStringLiteral("Doğru"), g.correct) +
          countRow(QStringLiteral("Yanlış"), g.wrong) + countRow(QStringLiteral("Boş"), g.blank);
  html += QStringLiteral(
      "</table><h3>Cevap Dağılımı</h3><table border=\"1\" cellspacing=\"0\" "
      "cellpadding=\"3\">");
  for (int i = 0; i < 5; ++i) html += countRow(QString(kLetters.at(i)), g.options[size_t(i)]);
  html += countRow(QStringLiteral("Boş"), g.optionBlank);
  return html + QStringLiteral("</table>");
}

// The answers table as wide as its content: the questions in as many slices as
// the page needs, each with the rank and the names again.
QString answersHtml(const AnswersTable& t) {
  return QStringLiteral("<h2>Verilen Cevaplar</h2>") +
         fittedTables(t.captions, t.rows, AnswersTable::kFirstQuestionColumn, widePageWidth());
}

QString namesOf(const QList<QuestionAnswerRow>& rows, bool withAnswer) {
  QStringList names;
  for (const QuestionAnswerRow& r : rows)
    names << (withAnswer && !r.answer.answer.isEmpty()
                  ? r.name.full() + QStringLiteral(" (") + r.answer.answer + QLatin1Char(')')
                  : r.name.full());
  return names.isEmpty() ? QStringLiteral("-") : esc(names.join(QStringLiteral(", ")));
}

QString questionHtml(const QuestionView& v) {
  QString html = QStringLiteral("<h3>%1. Soru &nbsp; Sorunun Cevabı: %2</h3>")
                     .arg(esc(v.question.position),
                          v.question.key.isEmpty() ? QStringLiteral("-") : esc(v.question.key));
  if (!v.unscoredNote.isEmpty())
    html += QStringLiteral("<p><b>%1</b></p>").arg(esc(v.unscoredNote));
  if (!v.question.content.isEmpty())
    html += QStringLiteral("<p>%1</p>").arg(esc(v.question.content));
  QStringList options;
  for (int i = 0; i < 5; ++i)
    options << QStringLiteral("%1: %2 (%%3)")
                   .arg(kLetters.at(i))
                   .arg(v.options[size_t(i)].count)
                   .arg(v.options[size_t(i)].percent);
  options << QStringLiteral("Boş: %1 (%%2)").arg(v.optionBlank.count).arg(v.optionBlank.percent);
  html +=
      QStringLiteral("<p>Doğru: %1 (%%2) &nbsp; Yanlış: %3 (%%4) &nbsp; Boş: %5 (%%6)<br>%7</p>")
          .arg(QString::number(v.correct.count), v.correct.percent, QString::number(v.wrong.count),
               v.wrong.percent, QString::number(v.blank.count), v.blank.percent,
               esc(options.join(QStringLiteral(" &nbsp; ")))
                   .replace(QStringLiteral("&amp;nbsp;"), QStringLiteral("&nbsp;")));
  html += QStringLiteral(
              "<p><b>Doğru cevaplayanlar:</b> %1<br><b>Yanlış cevaplayanlar:</b> %2<br>"
              "<b>Boş bırakanlar:</b> %3</p>")
              .arg(namesOf(v.correctList, false), namesOf(v.wrongList, true),
                   namesOf(v.blankList, false));
  return html;
}

// A student's answers across: positions, answers, keys, marks.
QString studentAnswersHtml(const QList<StudentAnswerRow>& rows) {
  QString html;
  for (int from = 0; from < rows.size(); from += kQuestionsPerTable) {
    QStringList captions{QStringLiteral("Soru")};
    QStringList answers{QStringLiteral("Cevabı")};
    QStringList keys{QStringLiteral("Doğru Cevap")};
    QStringList states{QStringLiteral("Sonuç")};
    for (qsizetype i = from; i < rows.size() && i < from + kQuestionsPerTable; ++i) {
      const StudentAnswerRow& r = rows.at(i);
      captions << r.position;
      answers << (r.answer.isEmpty() ? QStringLiteral("-") : r.answer);
      keys << (r.key.isEmpty() ? QStringLiteral("-") : r.key);
      states << (r.state == stateText(Outcome::Correct) ? QStringLiteral("D")
                 : r.state == stateText(Outcome::Wrong) ? QStringLiteral("Y")
                 : r.state.isEmpty()                    ? QStringLiteral("B")
                                                        : QStringLiteral("-"));
    }
    html += table(captions, {answers, keys, states}) + QStringLiteral("<p></p>");
  }
  return html;
}

QString studentHtml(const StudentView& v) {
  const ReportParticipant& p = v.participant;
  QString html = QStringLiteral("<h3>%1. %2</h3>").arg(p.rank).arg(esc(p.name.full()));
  html +=
      QStringLiteral(
          "<p>Testteki Başarı Sırası: %1 / %2 &nbsp; Net: %3 &nbsp; Doğru: %4 "
          "(%%5) &nbsp; Yanlış: %6 (%%7) &nbsp; Boş: %8 (%%9)</p>")
          .arg(QString::number(p.rank), QString::number(v.participants), esc(p.net),
               QString::number(v.correct.count), v.correct.percent, QString::number(v.wrong.count),
               v.wrong.percent, QString::number(v.blank.count), v.blank.percent);
  return html + studentAnswersHtml(v.rows);
}

QString distributionHtml(const DistributionView& d) {
  QList<QStringList> rows;
  for (const Bar& b : d.bars)
    rows << QStringList{b.label,
                        QString(std::clamp(int(b.value / 2.5 + 0.5), 0, 40), QChar(0x2588))};
  return QStringLiteral("<h2>Öğrenci Dağılımı (%1)</h2>").arg(esc(d.caption)) +
         table({QStringLiteral("Öğrenci - NET %"), QStringLiteral("Grafik")}, rows);
}

QString itemsHtml(const ItemAnalysis::Findings& f) {
  QString html = QStringLiteral("<h2>Madde Analizi</h2>");
  // The question's position, number and key stay beside every slice of figures.
  html += fittedTables(ItemAnalysis::captions(f.optionCount), ItemAnalysis::cells(f), 3,
                       widePageWidth());
  html += QStringLiteral("<p>") +
          esc(ItemAnalysis::summary(f).join(QLatin1Char('\n')))
              .replace(QLatin1Char('\n'), QStringLiteral("<br>")) +
          QStringLiteral("</p>");
  return html;
}

// Words are never broken inside: a column is at least as wide as its widest word.
Status writeHtmlPdf(const QString& html, const QString& path,
                    QPageLayout::Orientation orientation = kWide) {
  QTextDocument doc;
  doc.setDefaultFont(bodyFont());
  QTextOption option = doc.defaultTextOption();
  option.setWrapMode(QTextOption::WordWrap);
  doc.setDefaultTextOption(option);
  doc.setHtml(html);
  return formats::writePdf(doc, path, orientation);
}

const QString kPageBreak = QStringLiteral("<p style=\"page-break-after:always\"></p>");

}  // namespace

Status ReportExports::answersXlsx(const RunReport& report, const ReportOptions& options,
                                  const QString& path) {
  using formats::XlsxWriter;
  const AnswersTable t = report.answersTable(options);
  XlsxWriter w(path);
  w.addSheet(QStringLiteral("Verilen Cevaplar"));
  w.write(0, 0, report.title(), XlsxWriter::Style::Title);
  if (const QString note = report.general(options).unscoredNote; !note.isEmpty())
    w.write(1, 0, note);
  for (int c = 0; c < t.captions.size(); ++c) {
    w.write(2, c, t.captions.at(c), XlsxWriter::Style::Header);
    const bool question = c >= AnswersTable::kFirstQuestionColumn && c < t.captions.size() - 5;
    w.setColumnWidth(c, question ? 5 : (c == 2 || c == 3 ? 16 : 9));
  }
  w.setRowHeight(2, 30);
  for (int r = 0; r < t.rows.size(); ++r) {
    const QStringList& row = t.rows.at(r);
    for (int c = 0; c < row.size(); ++c) {
      bool number = false;
      const double v = row.at(c).toDouble(&number);
      // Net and the counts are numbers a teacher sums; the rest stays as shown.
      if (number && c >= row.size() - 5 && c < row.size() - 1)
        w.writeNumber(3 + r, c, v);
      else
        w.write(3 + r, c, row.at(c),
                options.showTimes ? XlsxWriter::Style::Wrap : XlsxWriter::Style::Plain);
    }
  }
  return w.close();
}

QString ReportExports::viewsHtml(const RunReport& report, const ReportOptions& options) {
  QString html = head(report.title());
  html += generalHtml(report.general(options)) + kPageBreak;
  html += answersHtml(report.answersTable(options)) + kPageBreak;
  html += QStringLiteral("<h2>Soru Bazlı</h2>");
  for (int q = 0; q < report.questions().size(); ++q)
    html += questionHtml(report.question(q, options));
  html += kPageBreak + QStringLiteral("<h2>Öğrenci Bazlı</h2>");
  for (int s = 0; s < report.participants().size(); ++s)
    html += studentHtml(report.student(s, options));
  html += kPageBreak + distributionHtml(report.distribution());
  html += kPageBreak + itemsHtml(report.itemAnalysis());
  return html + QStringLiteral("</body></html>");
}

QString ReportExports::resultSheetsHtml(const RunReport& report) {
  const ReportOptions options;
  QString html = QStringLiteral(
      "<html><head><style>body{font-family:'DejaVu Sans';font-size:10pt} "
      "th{background-color:#d9d9d9} h1{font-size:15pt}</style></head><body>");
  const int count = int(report.participants().size());
  for (int i = 0; i < count; ++i) {
    const StudentView v = report.student(i, options);
    const ReportParticipant& p = v.participant;
    const RunReport::ClassStanding standing = report.classStanding(i);
    html += QStringLiteral("<h1>Öğrenci Sonuç Belgesi</h1>");
    html += QStringLiteral(
                "<p><b>Adı Soyadı:</b> %1<br><b>Sınıfı:</b> %2<br><b>Uygulama:</b> "
                "%3</p>")
                .arg(esc(p.name.full()), esc(p.sinifi), esc(report.title()));
    html += studentAnswersHtml(v.rows);
    html += QStringLiteral("<p>D: doğru, Y: yanlış, B: boş</p>");
    html += QStringLiteral(
                "<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\">"
                "<tr><td>Doğru</td><td>%1</td></tr><tr><td>Yanlış</td><td>%2</td></tr>"
                "<tr><td>Boş</td><td>%3</td></tr><tr><td><b>Net</b></td><td><b>%4</b>"
                "</td></tr><tr><td>Sınıftaki sırası</td><td>%5 / %6</td></tr>"
                "<tr><td>Sınıfın net ortalaması</td><td>%7</td></tr></table>")
                .arg(p.correct)
                .arg(p.wrong)
                .arg(p.blank)
                .arg(esc(p.net))
                .arg(standing.rank)
                .arg(standing.of)
                .arg(standing.average);
    if (i + 1 < count) html += kPageBreak;
  }
  return html + QStringLiteral("</body></html>");
}

QString ReportExports::pageHtml(const RunReport& report, const ReportOptions& options,
                                ReportNavigator::Page page, int index) {
  QString html = head(report.title());
  switch (page) {
    case ReportNavigator::Page::General:
      html += generalHtml(report.general(options));
      break;
    case ReportNavigator::Page::Question:
      html += questionHtml(report.question(index, options));
      break;
    case ReportNavigator::Page::Answers:
    case ReportNavigator::Page::ClassTable:
      html += answersHtml(report.answersTable(options));
      break;
    case ReportNavigator::Page::Distribution:
      html += distributionHtml(report.distribution());
      break;
    case ReportNavigator::Page::Student:
      html += studentHtml(report.student(index, options));
      break;
    case ReportNavigator::Page::Items:
      html += itemsHtml(report.itemAnalysis());
      break;
  }
  return html + QStringLiteral("</body></html>");
}

Status ReportExports::pagePdf(const RunReport& report, const ReportOptions& options,
                              ReportNavigator::Page page, int index, const QString& path) {
  return writeHtmlPdf(pageHtml(report, options, page, index), path);
}

Status ReportExports::viewsPdf(const RunReport& report, const ReportOptions& options,
                               const QString& path) {
  return writeHtmlPdf(viewsHtml(report, options), path);
}

Status ReportExports::resultSheetsPdf(const RunReport& report, const QString& path) {
  if (report.participants().isEmpty())
    return Status::failure(QStringLiteral("Bu uygulamada sonuç belgesi yazılacak öğrenci yok."));
  return writeHtmlPdf(resultSheetsHtml(report), path, QPageLayout::Portrait);
}

}  // namespace reports
