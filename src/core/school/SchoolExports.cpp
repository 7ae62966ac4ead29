#include "school/SchoolExports.h"

#include <QSqlQuery>

#include "formats/XlsxWriter.h"
#include "store/Store.h"

namespace school {

namespace {

using formats::XlsxWriter;
constexpr int kHeaderRow = 2;  // row 3
constexpr int kFirstRow = 3;   // row 4

void headers(XlsxWriter& w, const QString& title, const QStringList& captions) {
  w.write(0, 0, title, XlsxWriter::Style::Title);
  for (int c = 0; c < captions.size(); ++c)
    w.write(kHeaderRow, c, captions.at(c), XlsxWriter::Style::Header);
  w.setColumnWidth(0, 6);
}

}  // namespace

QString SchoolExports::proposedFileName(const QString& title) {
  QString name = title.trimmed();
  for (QChar& c : name)
    if (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c)) c = QLatin1Char('-');
  return name + QStringLiteral(".xlsx");
}

Status SchoolExports::pairingList(const QString& sinifi, const QString& path) const {
  Result<QSqlQuery> q = m_store.exec(
      // Students without a remote are listed too, with an empty remote column:
      // the list is also where the teacher sees who still needs one.
      QStringLiteral("SELECT NZ(TABLEESLESME.KUMANDAADRESI),NZ(NUMARASI),NZ(ADI),NZ(SOYADI) FROM "
                     "TABLEOGRENCI LEFT JOIN "
                     "TABLEESLESME ON TABLEESLESME.KAYITNO=TABLEOGRENCI.KAYITNO WHERE SINIFI=? AND "
                     "NZ(SILINDIMI)='' ORDER BY ADI COLLATE TURKCE,SOYADI COLLATE TURKCE"),
      {sinifi});
  if (!q) return Status::failure(q.error());
  XlsxWriter w(path);
  w.addSheet(QStringLiteral("Eşleşme Listesi"));
  headers(w, sinifi + QStringLiteral(" SINIFI EŞLEŞME LİSTESİ"),
          {QStringLiteral("SN"), QStringLiteral("Kumanda No"), QStringLiteral("Numarası"),
           QStringLiteral("Adı"), QStringLiteral("Soyadı")});
  for (int c = 1; c <= 4; ++c) w.setColumnWidth(c, c == 1 || c == 2 ? 12 : 20);
  int row = kFirstRow;
  while (q.value().next()) {
    w.writeNumber(row, 0, row - kFirstRow + 1);
    for (int c = 0; c < 4; ++c) w.write(row, c + 1, q.value().value(c).toString());
    ++row;
  }
  return w.close();
}

Status SchoolExports::classLabels(const QString& sinifi, const QString& path) const {
  Result<QSqlQuery> q = m_store.exec(
      QStringLiteral(
          "SELECT TABLEESLESME.KUMANDAADRESI,NZ(ADI) || char(10) || NZ(SOYADI) FROM TABLEESLESME "
          "INNER JOIN TABLEOGRENCI ON TABLEESLESME.KAYITNO=TABLEOGRENCI.KAYITNO WHERE SINIFI=? AND "
          "NZ(SILINDIMI)='' ORDER BY ADI COLLATE TURKCE,SOYADI COLLATE TURKCE"),
      {sinifi});
  if (!q) return Status::failure(q.error());
  XlsxWriter w(path);
  w.addSheet(QStringLiteral("Etiket"));
  headers(w, sinifi + QStringLiteral(" SINIFI ETİKETLERİ"),
          {QStringLiteral("SN"), QStringLiteral("Kumanda No"), QStringLiteral("Etiket")});
  w.setColumnWidth(1, 12);
  w.setColumnWidth(2, 24);
  int row = kFirstRow;
  while (q.value().next()) {
    w.writeNumber(row, 0, row - kFirstRow + 1);
    w.write(row, 1, q.value().value(0).toString());
    w.write(row, 2, q.value().value(1).toString(), XlsxWriter::Style::Wrap);
    w.setRowHeight(row, 32);
    ++row;
  }
  const Result<QStringList> studentRemotes = m_store.column(
      QStringLiteral("SELECT KUMANDAADRESI FROM TABLEKUMANDA WHERE OGRETMENMI(OGRETMENKUMANDASI)=0 "
                     "ORDER BY KUMANDAADRESI COLLATE KUMANDA"));
  if (!studentRemotes) return Status::failure(studentRemotes.error());
  const QStringList& addresses = studentRemotes.value();
  w.addSheet(QStringLiteral("Kumandalar"));
  headers(w, QStringLiteral("ÖĞRENCİ KUMANDALARI"),
          {QStringLiteral("SN"), QStringLiteral("Kumanda No")});
  for (int i = 0; i < addresses.size(); ++i) {
    w.writeNumber(kFirstRow + i, 0, i + 1);
    w.write(kFirstRow + i, 1, addresses.at(i));
  }
  return w.close();
}

Status SchoolExports::multiClassLabels(const QStringList& classes, const QString& path) const {
  const store::InList in = store::inList(classes);
  Result<QSqlQuery> q = m_store.exec(
      QStringLiteral(
          "SELECT TABLEESLESME.KUMANDAADRESI,NZ(ADI) || ' ' || NZ(SOYADI) || ' (' || NZ(SINIFI) || "
          "')' "
          "FROM TABLEESLESME INNER JOIN TABLEOGRENCI ON TABLEESLESME.KAYITNO=TABLEOGRENCI.KAYITNO "
          "WHERE SINIFI IN (%1) AND NZ(SILINDIMI)='' ORDER BY TABLEESLESME.KUMANDAADRESI COLLATE "
          "KUMANDA,"
          "SINIFI COLLATE TURKCE,ADI COLLATE TURKCE,SOYADI COLLATE TURKCE")
          .arg(in.placeholders),
      in.values);
  if (!q) return Status::failure(q.error());
  QStringList addresses;
  QList<QStringList> texts;
  while (q.value().next()) {
    const QString address = q.value().value(0).toString();
    if (addresses.isEmpty() || addresses.last() != address) {
      addresses << address;
      texts << QStringList();
    }
    texts.last() << q.value().value(1).toString();
  }
  XlsxWriter w(path);
  w.addSheet(QStringLiteral("Etiket"));
  headers(w,
          QStringLiteral("KUMANDA ETİKETLERİ (") + classes.join(QStringLiteral(", ")) +
              QLatin1Char(')'),
          {QStringLiteral("SN"), QStringLiteral("Kumanda No"), QStringLiteral("Öğrenciler")});
  w.setColumnWidth(1, 12);
  w.setColumnWidth(2, 36);
  for (int i = 0; i < addresses.size(); ++i) {
    const int row = kFirstRow + i;
    w.writeNumber(row, 0, i + 1);
    w.write(row, 1, addresses.at(i));
    w.write(row, 2, texts.at(i).join(QLatin1Char('\n')), XlsxWriter::Style::Wrap);
    w.setRowHeight(row, 16.0 * static_cast<double>(std::max<qsizetype>(1, texts.at(i).size())));
  }
  return w.close();
}

QString SchoolExports::remoteNumberLabelsPath() const {
  return m_store.path(QStringLiteral("derslik_kumanda.xlsx"));
}

Status SchoolExports::remoteNumberLabels(const QStringList& addresses, const QString& path) const {
  QStringList list = addresses;
  if (list.isEmpty()) {
    const Result<QStringList> all =
        m_store.column(QStringLiteral("SELECT KUMANDAADRESI FROM TABLEKUMANDA ORDER BY "
                                      "OGRETMENMI(OGRETMENKUMANDASI) DESC,KUMANDAADRESI COLLATE "
                                      "KUMANDA"));
    if (!all) return Status::failure(all.error());
    list = all.value();
  }
  XlsxWriter w(path);
  w.addSheet(QStringLiteral("Kumanda Numaraları"));
  headers(w, QStringLiteral("KUMANDA NUMARALARI"),
          {QStringLiteral("SN"), QStringLiteral("Kumanda No")});
  w.setColumnWidth(1, 14);
  for (int i = 0; i < list.size(); ++i) {
    w.writeNumber(kFirstRow + i, 0, i + 1);
    w.write(kFirstRow + i, 1, list.at(i), XlsxWriter::Style::Wrap);
  }
  return w.close();
}

}  // namespace school
