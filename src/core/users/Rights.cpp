#include "users/Rights.h"

namespace users {

const QList<Right>& rights() {
  static const QList<Right> table = {
      {QStringLiteral("100M"), QStringLiteral("Test Uygula"), 1, true,
       QStringLiteral("frmTestUygula")},
      {QStringLiteral("101M"), QStringLiteral("Ödev Kontrol"), 2, true,
       QStringLiteral("frmTestUygula")},
      {QStringLiteral("102M"), QStringLiteral("Raporlar"), 4, true,
       QStringLiteral("frmRaporlarMenu")},
      {QStringLiteral("103M"), QStringLiteral("Tanımlamalar"), 5, true,
       QStringLiteral("frmTanimlamalar")},
      {QStringLiteral("104M"), QStringLiteral("Kumanda Tanımlama"), 6, true,
       QStringLiteral("frmKumandaTanimlama")},
      {QStringLiteral("105M"), QStringLiteral("Soru Hazırlama"), 7, true,
       QStringLiteral("frmSoruHazirlama")},
      {QStringLiteral("106M"), QStringLiteral("Test Hazırlama"), 8, true,
       QStringLiteral("frmTestHazirlama")},
      {QStringLiteral("107M"), QStringLiteral("Soru Bankası"), 9, true,
       QStringLiteral("frmSoruPaylasim")},
      {QStringLiteral("108M"), QStringLiteral("Gelişmiş Mod Sayfasına Giriş"), 3, false,
       QStringLiteral("frmGelismisMod")},
      {QStringLiteral("109M"), QStringLiteral("Soru Al"), 10, false,
       QStringLiteral("frmSoruHazirlama")},
      {QStringLiteral("110M"), QStringLiteral("Soru Ver"), 11, false,
       QStringLiteral("frmSoruHazirlama")},
      {QStringLiteral("111M"), QStringLiteral("Test Al"), 13, false,
       QStringLiteral("frmTestHazirlama")},
      {QStringLiteral("112M"), QStringLiteral("Test Ver"), 14, false,
       QStringLiteral("frmTestHazirlama")},
      {QStringLiteral("113M"), QStringLiteral("Kitapçık Kaydet"), 15, false,
       QStringLiteral("frmTestHazirlama")},
      {QStringLiteral("114M"), QStringLiteral("Kitapçık Yazdır"), 16, false,
       QStringLiteral("frmTestHazirlama")},
      {QStringLiteral("115M"), QStringLiteral("Uygulama Sil"), 17, false,
       QStringLiteral("frmRaporlarMenu")},
      {QStringLiteral("116M"), QStringLiteral("Toplu Soru Sil"), 18, false,
       QStringLiteral("frmSoruHazirlama")},
      {QStringLiteral("117M"), QStringLiteral("Uygulama Al"), 19, false,
       QStringLiteral("frmRaporlarMenu")},
      {QStringLiteral("118M"), QStringLiteral("Uygulama Ver"), 20, false,
       QStringLiteral("frmRaporlarMenu")},
      {QStringLiteral("119M"), QStringLiteral("Toplu Test Sil"), 21, false,
       QStringLiteral("frmTestHazirlama")},
      {QStringLiteral("120M"), QStringLiteral("Uygulama Birleştir"), 22, false,
       QStringLiteral("frmRaporlarMenu")},
  };
  return table;
}

namespace {

const Right* findRight(const QString& code) {
  const QString c = code.trimmed().toUpper();
  for (const Right& r : rights())
    if (r.code == c) return &r;
  return nullptr;
}

Requirement needs(const char* key, const char* code) {
  const QString c = QString::fromLatin1(code);
  return {QString::fromLatin1(key), c, flagOf(c)};
}

}  // namespace

int flagOf(const QString& code) {
  const Right* r = findRight(code);
  return r ? r->flag : 0;
}

QString captionOf(const QString& code) {
  const Right* r = findRight(code);
  return r ? r->caption : QString();
}

bool isKnownCode(const QString& code) { return findRight(code) != nullptr; }

const QList<Requirement>& requirements() {
  static const QList<Requirement> table = {
      needs("frmTanimlamalar", "103M"),   needs("frmKumandaTanimlama", "104M"),
      needs("frmSoruHazirlama", "105M"),  needs("frmTestHazirlama", "106M"),
      needs("frmTestUygula", "100M"),     needs("frmDersUygula", "100M"),
      needs("frmRaporlarMenu", "102M"),   needs("frmSoruPaylasim", "107M"),
      needs("frmGelismisMod", "108M"),    needs("mnuDisVeriAl", "103M"),
      needs("mnuSinifAtlatma", "108M"),   needs("mnuKurumBilgileri", "108M"),
      needs("BilgileriOnar", "108M"),     {kOnlineLessonKey, QString(), kFlagOnlineLesson},
      needs("OdevKontrol", "101M"),       needs("SoruAl", "109M"),
      needs("SoruVer", "110M"),           needs("TestAl", "111M"),
      needs("TestVer", "112M"),           needs("KitapcikKaydet", "113M"),
      needs("KitapcikYazdir", "114M"),    needs("UygulamaSil", "115M"),
      needs("TopluSoruSil", "116M"),      needs("UygulamaAl", "117M"),
      needs("UygulamaVer", "118M"),       needs("TopluTestSil", "119M"),
      needs("UygulamaBirlestir", "120M"), needs("mnuOkulSunucusu", "108M"),
  };
  return table;
}

int requiredFlag(const QString& key) {
  for (const Requirement& r : requirements())
    if (r.key == key) return r.flag;
  return 0;
}

QString requiredCode(const QString& key) {
  for (const Requirement& r : requirements())
    if (r.key == key) return r.code;
  return {};
}

}  // namespace users
