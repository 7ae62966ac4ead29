#pragma once

#include <QList>
#include <QString>

namespace users {

// The main window keeps 23 right flags, numbered from 1. Twenty-one of them are
// granted or denied by a right code; the other two are not bound to any code:
//
//  flag  code    right (caption in the rights tree)   needed by
//  ----  ------  -----------------------------------  -------------------------------------
//    1   100M    Test Uygula                          frmTestUygula (cmdMenu 4), frmDersUygula
//                                                     (cmdMenu 7): every run in class, the
//                                                     free question and the lesson too
//    2   101M    Ödev Kontrol                         homework check ("OdevKontrol"), also
//                                                     needs flag 1
//    3   108M    Gelişmiş Mod Sayfasına Giriş         frmGelismisMod, menu GelismisModAyarlari
//    4   102M    Raporlar                             frmRaporlarMenu (cmdMenu 5)
//    5   103M    Tanımlamalar                         frmTanimlamalar (cmdMenu 0)
//    6   104M    Kumanda Tanımlama                    frmKumandaTanimlama (cmdMenu 1)
//    7   105M    Soru Hazırlama                       frmSoruHazirlama (cmdMenu 2)
//    8   106M    Test Hazırlama                       frmTestHazirlama (cmdMenu 3)
//    9   107M    Soru Bankası                         frmSoruPaylasim (cmdMenu 6)
//   10   109M    Soru Al                              "SoruAl"
//   11   110M    Soru Ver                             "SoruVer"
//   12   -       (online lesson platform)             frmTestUygula for the external platform
//                                                     (cmdMenu 12); off without advanced mode
//                                                     and given by no code
//   13   111M    Test Al                              "TestAl"
//   14   112M    Test Ver                             "TestVer"
//   15   113M    Kitapçık Kaydet                      "KitapcikKaydet"
//   16   114M    Kitapçık Yazdır                      "KitapcikYazdir"
//   17   115M    Uygulama Sil                         "UygulamaSil"
//   18   116M    Toplu Soru Sil                       "TopluSoruSil"
//   19   117M    Uygulama Al                          "UygulamaAl"
//   20   118M    Uygulama Ver                         "UygulamaVer"
//   21   119M    Toplu Test Sil                       "TopluTestSil"
//   22   120M    Uygulama Birleştir                   "UygulamaBirlestir"
//   23   -       (reserved; consulted by nothing)
//
// Screens and actions ask by their key (a window name or an action name of the
// last column) through requiredFlag(); a key that is not listed needs no right.
// The user-admin screen frmGelismisMod needs flag 3 whichever way it is opened: a
// teacher who may not enter it must not be able to grant himself rights. Main
// menu items that reach the same data as a screen ask for that screen's right
// (the student import: flag 5); what changes the whole school is the
// administrator's (the rollover, the institution data, the school server
// and the repair of the database files: flag 3). The caption of 100M was "Test Çöz" in older
// installations; the code, which is what users' rows store, is unchanged.

inline constexpr int kFlagCount = 23;
inline constexpr int kFlagAdvancedSettings = 3;
inline constexpr int kFlagOnlineLesson = 12;

struct Right {
  QString code;
  QString caption;
  int flag = 0;
  bool screen = false;  // 100M..107M open screens, 108M..120M allow actions
  QString usedIn;       // window name of the screen that asks for it
};

// The 21 rights in code order.
const QList<Right>& rights();
// Flag number of a code, 0 for an unknown code.
int flagOf(const QString& code);
QString captionOf(const QString& code);
bool isKnownCode(const QString& code);

struct Requirement {
  QString key;   // window name or action name
  QString code;  // empty when the flag is given by no code
  int flag = 0;
};

const QList<Requirement>& requirements();
// The flag a screen or action needs; 0 when it needs none.
int requiredFlag(const QString& key);
QString requiredCode(const QString& key);

// What a user is told when a screen or an action is refused.
inline const QString kDeniedMessage = QStringLiteral("Bu bölümü kullanma yetkiniz yok");

// Key of the external online lesson platform mode of frmTestUygula (cmdMenu 12).
inline const QString kOnlineLessonKey = QStringLiteral("frmTestUygula.cevrimici");

}  // namespace users
