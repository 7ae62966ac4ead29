#pragma once

#include <QString>

namespace reports {

// The display choices of the run report (frmRaporlar), kept per user in the
// settings section "Raporlar" under the keys they always had. A value never saved
// has the defaults below. The screen binds its check boxes and option buttons to
// this value; the run report's views read it.
struct ReportOptions {
  bool hideBlanksInCharts = false;    // BosGorunmesin: chkBosGosterme
  bool hideUnchosenOptions = false;   // CevaplanmayanlarGorunmesin: chkCevaplanmayanBos
  bool showTimes = false;             // SureleriGoster: chkSureleriGoster
  bool showStudents = true;           // OgrencileriGoster: chkOgrencileriGoster
  bool showCorrectWrongBlank = true;  // DogruYanlisBosGoster: chkDogruYanlisBos
  // DogruYanlisBosListeBirlesik (optListeAyri): one list with a CEVAPDURUMU column
  // instead of three lists.
  bool singleList = false;
  // Which chart or statistics variant a page shows (DogruYanlisCevapGenel,
  // DogruYanlisCevap2, 3, 4, TestGrafik): 0 is the page's first variant.
  int generalVariant = 0;
  int questionVariant = 0;
  int studentVariant = 0;
  int distributionVariant = 0;
  int chartKind = 0;

  static QString section() { return QStringLiteral("Raporlar"); }
  static ReportOptions load();
  void save() const;

  bool operator==(const ReportOptions&) const = default;

  // The captions of the controls, as the screen shows them.
  static QString hideBlanksCaption() { return QStringLiteral("Grafikte boş değerlerini gösterme"); }
  static QString hideUnchosenCaption() { return QStringLiteral("Cevaplanmayan şıkları gösterme"); }
  static QString showTimesCaption() { return QStringLiteral("Süreleri Göster"); }
  static QString showStudentsCaption() { return QStringLiteral("Öğrencileri Göster"); }
  static QString showCorrectWrongBlankCaption() {
    return QStringLiteral("Doğru-Yanlış-Boş Göster");
  }
  static QString separateListsCaption() {
    return QStringLiteral("Doğru - Yanlış - Boş Ayrı Listelerde Olsun");
  }
  static QString singleListCaption() {
    return QStringLiteral("Doğru - Yanlış - Boş Tek Listede Olsun");
  }
};

}  // namespace reports
