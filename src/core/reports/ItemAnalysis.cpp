#include "reports/ItemAnalysis.h"

#include <QHash>
#include <QSqlQuery>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

#include "formats/XlsxWriter.h"
#include "reports/BulkRows.h"
#include "reports/Scoring.h"
#include "store/SqlFunctions.h"
#include "store/Store.h"

namespace reports {

namespace {

// Pearson correlation with population moments; none when either side does not vary
// (a question everyone answered alike says nothing about discrimination).
template <typename X, typename Y>
std::optional<double> correlation(const std::vector<X>& x, const std::vector<Y>& y) {
  const size_t n = x.size();
  if (n < 2) return std::nullopt;
  double mx = 0, my = 0;
  for (size_t i = 0; i < n; ++i) {
    mx += double(x[i]);
    my += double(y[i]);
  }
  mx /= double(n);
  my /= double(n);
  double sxy = 0, sxx = 0, syy = 0;
  for (size_t i = 0; i < n; ++i) {
    const double dx = double(x[i]) - mx;
    const double dy = double(y[i]) - my;
    sxy += dx * dy;
    sxx += dx * dx;
    syy += dy * dy;
  }
  constexpr double kTiny = 1e-12;
  if (sxx < kTiny || syy < kTiny) return std::nullopt;
  return sxy / std::sqrt(sxx * syy);
}

int letterIndex(const QString& key) {
  if (key.size() != 1) return -1;
  const int i = key.at(0).unicode() - 'A';
  return i >= 0 && i < ItemAnalysis::kOptions ? i : -1;
}

}  // namespace

int ItemAnalysis::extremeGroupSize(int respondents) {
  return std::max(1, int(std::lround(0.27 * respondents)));
}

ItemAnalysis::Findings ItemAnalysis::compute(const Input& input) {
  Findings r;
  r.respondents = input.respondents;
  r.optionCount = std::clamp(input.optionCount, 1, kOptions);
  const size_t n = size_t(std::max(0, input.respondents));

  QList<const Item*> keyed;
  for (const Item& item : input.items) {
    if (item.key.trimmed().isEmpty())
      r.leftOut << item.position;
    else
      keyed << &item;
  }

  std::vector<int> totals(n, 0);
  for (const Item* item : keyed)
    for (size_t i = 0; i < n && i < item->responses.size(); ++i)
      totals[i] += item->responses[i].correct ? 1 : 0;
  if (n > 0) {
    r.mean = std::accumulate(totals.begin(), totals.end(), 0.0) / double(n);
    double ss = 0;
    for (int t : totals) ss += (t - r.mean) * (t - r.mean);
    r.sd = std::sqrt(ss / double(n));
  }

  // Respondents from the highest total down; equal totals keep their order, so the
  // groups are the same every time the same data is read.
  std::vector<size_t> order(n);
  std::iota(order.begin(), order.end(), size_t(0));
  std::stable_sort(order.begin(), order.end(),
                   [&totals](size_t a, size_t b) { return totals[a] > totals[b]; });
  const size_t group = std::min(n / 2, size_t(extremeGroupSize(int(n))));

  double sumPq = 0;
  for (const Item* item : keyed) {
    ItemFigures f;
    f.position = item->position;
    f.soruNo = item->soruNo;
    f.key = item->key;
    std::vector<int> x(n, 0);
    std::vector<int> rest(n, 0);
    std::array<std::vector<int>, kOptions> chose;
    for (auto& c : chose) c.assign(n, 0);
    int correct = 0;
    int blank = 0;
    for (size_t i = 0; i < n; ++i) {
      const Response resp = i < item->responses.size() ? item->responses[i] : Response{};
      x[i] = resp.correct ? 1 : 0;
      rest[i] = totals[i] - x[i];
      correct += x[i];
      if (resp.option >= 0 && resp.option < kOptions) {
        chose[size_t(resp.option)][i] = 1;
        ++f.options[size_t(resp.option)].count;
      } else {
        ++blank;
      }
    }
    if (n > 0) {
      f.facility = double(correct) / double(n);
      f.blank = double(blank) / double(n);
      for (int o = 0; o < kOptions; ++o) {
        OptionFigures& of = f.options[size_t(o)];
        of.share = double(of.count) / double(n);
        of.pointBiserial = correlation(chose[size_t(o)], rest);
      }
    }
    f.discrimination = correlation(x, rest);
    if (group > 0) {
      int upper = 0, lower = 0;
      for (size_t g = 0; g < group; ++g) {
        upper += x[order[g]];
        lower += x[order[n - 1 - g]];
      }
      f.upperLower = double(upper - lower) / double(group);
    }
    sumPq += f.facility * (1 - f.facility);

    if (n > 0) {
      if (f.facility > 0.90) f.flags << tooEasy();
      if (f.facility < 0.20) f.flags << tooHard();
      if (f.discrimination) {
        if (*f.discrimination < 0)
          f.flags << negativeDiscrimination();
        else if (*f.discrimination < 0.20)
          f.flags << lowDiscrimination();
      }
      const int keyIndex = letterIndex(item->key.trimmed());
      for (int o = 0; o < r.optionCount; ++o) {
        if (o != keyIndex && f.options[size_t(o)].count == 0) {
          f.flags << deadDistractor();
          break;
        }
      }
    }
    r.items << f;
  }

  const double variance = r.sd * r.sd;
  const double k = double(keyed.size());
  if (k >= 2 && variance > 1e-12) {
    r.kr20 = k / (k - 1) * (1 - sumPq / variance);
    r.sem = r.sd * std::sqrt(std::max(0.0, 1 - *r.kr20));
  }
  return r;
}

}  // namespace reports

// ---- tables and the test-wide loader

namespace reports {

namespace {

QString figure(const std::optional<double>& v) {
  return v ? QString::number(*v, 'f', 2) : QStringLiteral("-");
}
QString figure(double v) { return QString::number(v, 'f', 2); }

const QString kLetters = QStringLiteral("ABCDE");

}  // namespace

QStringList ItemAnalysis::captions(int optionCount) {
  QStringList c{QStringLiteral("Sıra No"),        QStringLiteral("Soru No"),
                QStringLiteral("Cevap"),          QStringLiteral("Güçlük"),
                QStringLiteral("Ayırt Edicilik"), QStringLiteral("Üst-Alt %27"),
                QStringLiteral("Boş Oranı")};
  for (int o = 0; o < optionCount; ++o) {
    const QString l = kLetters.at(o);
    c << l + QStringLiteral(" Sayı") << l + QStringLiteral(" Oran") << l + QStringLiteral(" r");
  }
  return c << QStringLiteral("Uyarılar");
}

QList<QStringList> ItemAnalysis::cells(const Findings& findings) {
  QList<QStringList> rows;
  for (const ItemFigures& f : findings.items) {
    QStringList r{
        f.position,           f.soruNo,       f.key, figure(f.facility), figure(f.discrimination),
        figure(f.upperLower), figure(f.blank)};
    for (int o = 0; o < findings.optionCount; ++o) {
      const OptionFigures& of = f.options[size_t(o)];
      r << QString::number(of.count) << figure(of.share) << figure(of.pointBiserial);
    }
    r << f.flags.join(QStringLiteral("; "));
    rows << r;
  }
  return rows;
}

QStringList ItemAnalysis::summary(const Findings& findings) {
  QStringList s{QStringLiteral("Öğrenci sayısı: %1").arg(findings.respondents),
                QStringLiteral("KR-20 güvenirlik: ") + figure(findings.kr20),
                QStringLiteral("Ortalama: ") + figure(findings.mean),
                QStringLiteral("Standart sapma: ") + figure(findings.sd),
                QStringLiteral("Ölçmenin standart hatası: ") + figure(findings.sem)};
  if (!findings.leftOut.isEmpty())
    s << QStringLiteral("Cevap anahtarı olmadığı için hesaba katılmayan sorular: ") +
             findings.leftOut.join(QStringLiteral(", "));
  return s;
}

Result<ItemAnalysis::Findings> analyseTest(const store::Store& store, const QString& testNo) {
  using Findings = ItemAnalysis::Findings;
  // The runs' questions: each run's key per position, and the items they are.
  Result<QSqlQuery> q = store.exec(
      QStringLiteral("SELECT TESTTARIHI || '|' || TESTBASLANGIC,NZ(TESTSIRANO),NZ(SORUNO),"
                     "NZ(DOGRUSIK) FROM TABLEUYGULAMA WHERE TESTNO=? ORDER BY "
                     "CDATE(TESTTARIHI),CDATE(TESTBASLANGIC),VAL(TESTSIRANO)"),
      {testNo});
  if (!q) return Result<Findings>::failure(q.error());
  // How each possible answer counts against a run's key, decided once per
  // question by reports::outcome(): A .. E, "X", no answer.
  constexpr int kAnswerForms = ItemAnalysis::kOptions + 2;
  struct Slot {
    int item = -1;
    QString key;
    std::array<bool, kAnswerForms> correct{};
  };
  const auto answerForm = [](int form) {
    return form < ItemAnalysis::kOptions
               ? QString(kLetters.at(form))
               : (form == ItemAnalysis::kOptions ? QStringLiteral("X") : QString());
  };
  QHash<QString, int> runIndex;      // "date|start" -> run
  QList<QHash<int, Slot>> runSlots;  // per run: position -> item and key
  QHash<QString, int> itemIndex;     // SORUNO (or "#position") -> item
  QList<ItemAnalysis::Item> items;
  QList<QStringList> keysOf;  // per item: the distinct keys of its runs
  QList<bool> unkeyed;        // per item: some run has no key for it
  QList<int> firstPosition;
  while (q.value().next()) {
    const QSqlQuery& r = q.value();
    const QString run = r.value(0).toString();
    int ri = runIndex.value(run, -1);
    if (ri < 0) {
      ri = int(runSlots.size());
      runIndex.insert(run, ri);
      runSlots.append(QHash<int, Slot>());
    }
    const QString position = r.value(1).toString();
    const QString soruNo = r.value(2).toString();
    const QString id = soruNo.isEmpty() ? QStringLiteral("#") + position : soruNo;
    int ii = itemIndex.value(id, -1);
    if (ii < 0) {
      ii = int(items.size());
      itemIndex.insert(id, ii);
      items << ItemAnalysis::Item{position, soruNo, {}, {}};
      keysOf.append(QStringList());
      unkeyed << false;
      firstPosition << int(store::jetVal(position));
    }
    const QString key = r.value(3).toString().trimmed();
    if (key.isEmpty()) unkeyed[ii] = true;
    if (!key.isEmpty() && !keysOf[ii].contains(key)) keysOf[ii] << key;
    firstPosition[ii] = std::min(firstPosition[ii], int(store::jetVal(position)));
    Slot slot{ii, key, {}};
    for (int form = 0; form < kAnswerForms; ++form)
      slot.correct[size_t(form)] = outcome(answerForm(form), key) == Outcome::Correct;
    runSlots[ri].insert(int(store::jetVal(position)), slot);
  }
  q.value().finish();

  // The answers, read straight (a hundred runs of a class are 150,000 rows). Rows
  // of one run come together, so the run is looked up once per run.
  QList<QHash<QByteArray, int>> respondentsOf(runSlots.size());
  int respondents = 0;
  const ItemAnalysis::Response none;
  QByteArray lastDate, lastStart;
  int ri = -1;
  const Status read = forEachRow(
      store.db(),
      // Columns as stored (a missing value reads as empty): no function per row.
      QStringLiteral("SELECT C.TESTTARIHI,C.TESTBASLANGIC,C.KUMANDAADRESI,C.TESTSIRANO,C.CEVAP "
                     "FROM TABLECEVAP C INNER JOIN (SELECT DISTINCT TESTTARIHI,TESTBASLANGIC FROM "
                     "TABLEUYGULAMA WHERE TESTNO=?) R ON C.TESTTARIHI=R.TESTTARIHI AND "
                     "C.TESTBASLANGIC=R.TESTBASLANGIC"),
      {testNo}, [&](const BulkRow& r) {
        if (r.bytes(0) != lastDate || r.bytes(1) != lastStart) {
          lastDate = r.bytes(0).toByteArray();
          lastStart = r.bytes(1).toByteArray();
          ri = runIndex.value(QString::fromUtf8(lastDate + '|' + lastStart), -1);
        }
        if (ri < 0) return;
        const auto slot = runSlots.at(ri).constFind(int(r.integer(3)));
        if (slot == runSlots.at(ri).constEnd()) return;
        QHash<QByteArray, int>& of = respondentsOf[ri];
        // Looked up in place; copied only when the remote is new.
        const QByteArrayView address = r.bytes(2);
        auto who = of.constFind(QByteArray::fromRawData(address.data(), address.size()));
        if (who == of.constEnd()) {
          who = of.insert(address.toByteArray(), respondents++);
          for (ItemAnalysis::Item& item : items) item.responses.push_back(none);
        }
        ItemAnalysis::Response& resp = items[slot->item].responses[size_t(*who)];
        if (resp.option >= 0 || resp.correct) return;  // the first answer counts
        const QByteArrayView answer = r.bytes(4);
        const int letter =
            answer.size() == 1 ? int(kLetters.indexOf(QLatin1Char(answer.at(0)))) : -1;
        resp.option = letter;
        if (letter >= 0)
          resp.correct = slot->correct[size_t(letter)];
        else if (answer.isEmpty() || answer == "X")
          resp.correct =
              slot->correct[size_t(answer.isEmpty() ? kAnswerForms - 1 : kAnswerForms - 2)];
        else
          resp.correct = outcome(QString::fromUtf8(answer), slot->key) == Outcome::Correct;
      });
  if (!read) return Result<Findings>::failure(read.error());

  ItemAnalysis::Input in;
  in.respondents = respondents;
  in.optionCount = store.institution().threeButton() ? 3 : ItemAnalysis::kOptions;
  QList<int> order;
  for (int i = 0; i < items.size(); ++i) {
    items[i].key = unkeyed.at(i) ? QString() : keysOf.at(i).join(QLatin1Char('/'));
    items[i].position = QString::number(firstPosition.at(i));
    order << i;
  }
  std::stable_sort(order.begin(), order.end(), [&firstPosition](int x, int y) {
    return firstPosition.at(x) < firstPosition.at(y);
  });
  for (int i : order) in.items << items.at(i);
  return ItemAnalysis::compute(in);
}

Status writeItemAnalysisXlsx(const ItemAnalysis::Findings& findings, const QString& title,
                             const QString& path) {
  using formats::XlsxWriter;
  XlsxWriter w(path);
  w.addSheet(QStringLiteral("Madde Analizi"));
  w.write(0, 0, title, XlsxWriter::Style::Title);
  const QStringList captions = ItemAnalysis::captions(findings.optionCount);
  for (int c = 0; c < captions.size(); ++c) {
    w.write(2, c, captions.at(c), XlsxWriter::Style::Header);
    w.setColumnWidth(c, c == captions.size() - 1 ? 60 : 10);
  }
  int row = 3;
  for (const QStringList& cells : ItemAnalysis::cells(findings)) {
    for (int c = 0; c < cells.size(); ++c) {
      bool number = false;
      const double v = cells.at(c).toDouble(&number);
      // Positions and question numbers stay text: "05" or "A12" are names.
      if (number && c >= 3 && c < cells.size() - 1)
        w.writeNumber(row, c, v);
      else
        w.write(row, c, cells.at(c));
    }
    ++row;
  }
  ++row;
  for (const QString& line : ItemAnalysis::summary(findings))
    w.write(row++, 0, line, XlsxWriter::Style::Bold);
  return w.close();
}

}  // namespace reports
