#include "lists/SutunBaslik.h"

#include <QHash>

#include "lists/TurkishText.h"

namespace lists {

namespace {

const QHash<QString, QString>& captions() {
  static const QHash<QString, QString> map = [] {
    const char* const pairs[][2] = {
        {"KAYITNO", "Kayıt No"},
        {"ADI", "Adı"},
        {"SOYADI", "Soyadı"},
        {"NUMARASI", "Numarası"},
        {"SEVIYE", "Seviye"},
        {"SUBE", "Şube"},
        {"SINIFI", "Sınıfı"},
        {"KUMANDAADRESI", "Kumanda No"},
        {"KISISAYISI", "Kişi Sayısı"},
        {"DERS", "Ders"},
        {"UNITE", "Ünite"},
        {"KONU", "Konu"},
        {"KAZANIM", "Kazanım"},
        {"ALTKONU", "Alt Konu"},
        {"TESTNO", "Test No"},
        {"TESTADI", "Test Adı"},
        {"HAZIRLAYAN", "Hazırlayan"},
        {"SORUNO", "Soru No"},
        {"SORUICERIK", "Soru İçeriği"},
        {"TESTSIRANO", "Sıra No"},
        {"SORUSAYISI", "Soru Sayısı"},
        {"NET", "Net"},
        {"DOGRUSAYI", "D"},
        {"TESTTARIHI", "Test Tarihi"},
        {"TESTBASLANGIC", "Başlangıç"},
        {"TESTBITIS", "Bitiş"},
        {"GRUP", "Grup"},
        {"ACIKLAMA", "Açıklama"},
        {"CEVAP", "Cevap"},
        {"DOGRUSIK", "Doğru Şık"},
        {"CEVAPSURESI", "Süre"},
        {"TOPLAMSURE", "Süre"},
        {"SURE", "Süre"},
        {"KACINCIOLDU", "Sıra"},
        {"KUMANDANO", "Kum.No"},
        {"KAZKEZKULLANILDI", "Kul.Sayısı"},
        {"DOGRUORAN", "Doğru Oran"},
        {"YANLISORAN", "Yanlış Oran"},
        {"BOSORAN", "Boş Oran"},
        {"NETORAN", "Net Oran"},
        {"SINIFNETORAN", "Sınıf Net Oran"},
        {"AKTARILDI", "Aktarıldı"},
        {"SILINMETARIHI", "Silinme Tarihi"},
        {"TCKIMLIK", "T.C.Kimlik No"},
        {"TESTSAYISI", "Test Sayısı"},
        {"PARAMETREDEGERI", "Değerler"},
        {"DEGISECEKDEGER", "Değişecek Değer"},
        {"SECILENSINIFTA", "Seçili Sınıfta"},
        {"KULLANILMISSORU", "Soruda Kullanılmış"},
        {"KULLANILMISOGRENCI", "Öğrencide Kullanılmış"},
        {"KULLANILMISUNITE", "Ünitede Kullanılmış"},
        {"KULLANILMISTEST", "Testte Kullanılmış"},
        {"BOLUM", "Bölüm"},
        {"YANLISSAYI", "Y"},
        {"BOSSAYI", "B"},
    };
    QHash<QString, QString> m;
    for (const auto& p : pairs) m.insert(QString::fromLatin1(p[0]), QString::fromUtf8(p[1]));
    return m;
  }();
  return map;
}

}  // namespace

QString sutunBaslik(const QString& column) {
  return captions().value(column.trimmed().toUpper(), column);
}

QString sutunAdiBasliktan(const QString& caption) {
  static const QHash<QString, QString> reverse = [] {
    const char* const pairs[][2] = {
        {"Adı", "ADI"},
        {"Adı Soyadı", "ADI"},
        {"Soyadı", "SOYADI"},
        {"Numarası", "NUMARASI"},
        {"Seviye", "SEVIYE"},
        {"Sınıfı", "SINIFI"},
        {"T.C.Kimlik No", "TCKIMLIK"},
    };
    QHash<QString, QString> m;
    for (const auto& p : pairs)
      m.insert(turkishFold(QString::fromUtf8(p[0])), QString::fromLatin1(p[1]));
    return m;
  }();
  return reverse.value(turkishFold(caption.simplified()));
}

bool icSutunMu(const QString& column) {
  static const QStringList internal = {QStringLiteral("ID"), QStringLiteral("SORUNUMARASI"),
                                       QStringLiteral("SILINDIMI"), QStringLiteral("AKTARILDI2")};
  return internal.contains(column.trimmed(), Qt::CaseInsensitive);
}

}  // namespace lists
