#include "authoring/DemoBank.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>

#include <random>

#include "authoring/AutoSelection.h"
#include "authoring/BookletOrders.h"
#include "authoring/QuestionBank.h"
#include "authoring/RandomSource.h"
#include "authoring/TestCatalog.h"
#include "authoring/TestQuestions.h"
#include "authoring/TypedQuestion.h"
#include "lists/FilterLists.h"
#include "store/Store.h"

namespace authoring {

namespace {

// A question before it is drawn: stem, the correct choice and four wrong ones.
struct Draft {
  QString level;
  QString course;
  QString unit;
  QString stem;
  QString correct;
  QStringList wrong;
  enum class Figure { None, Rectangle, Chart } figure = Figure::None;
  QList<int> numbers{};  // what the figure shows
};

QString n(int v) { return QString::number(v); }

// Four wrong answers near a number, none equal to it or to each other.
QStringList near(int value, std::mt19937& rng) {
  QStringList out;
  std::uniform_int_distribution<int> step(1, std::max(3, value / 5));
  while (out.size() < 4) {
    const int v = value + (rng() % 2 ? 1 : -1) * step(rng);
    if (v != value && v >= 0 && !out.contains(n(v))) out << n(v);
  }
  return out;
}

void mathematics(QList<Draft>& out, std::mt19937& rng) {
  std::uniform_int_distribution<int> two(12, 99), small(3, 12);
  for (int i = 0; i < 12; ++i) {
    const int a = two(rng), b = two(rng);
    out << Draft{QStringLiteral("5. SINIF"),
                 QStringLiteral("MATEMATİK"),
                 QStringLiteral("Doğal Sayılarla İşlemler"),
                 QStringLiteral("%1 + %2 işleminin sonucu kaçtır?").arg(a).arg(b),
                 n(a + b),
                 near(a + b, rng)};
  }
  for (int i = 0; i < 12; ++i) {
    const int a = small(rng), b = small(rng);
    out << Draft{QStringLiteral("5. SINIF"),
                 QStringLiteral("MATEMATİK"),
                 QStringLiteral("Doğal Sayılarla İşlemler"),
                 QStringLiteral("Bir kutuda %1 sıra ve her sırada %2 kalem vardır. Kutuda kaç "
                                "kalem vardır?")
                     .arg(a)
                     .arg(b),
                 n(a * b),
                 near(a * b, rng)};
  }
  for (int i = 0; i < 10; ++i) {
    const int d = small(rng) + 1, k = 1 + int(rng() % (d - 1));
    const int total = d * (2 + int(rng() % 8));
    out << Draft{QStringLiteral("5. SINIF"),
                 QStringLiteral("MATEMATİK"),
                 QStringLiteral("Kesirler"),
                 QStringLiteral("%1 sayısının %2/%3'i kaçtır?").arg(total).arg(k).arg(d),
                 n(total / d * k),
                 near(total / d * k, rng)};
  }
  for (int i = 0; i < 10; ++i) {
    const int p = 10 * (1 + int(rng() % 9)), base = 20 * (1 + int(rng() % 10));
    out << Draft{QStringLiteral("6. SINIF"),
                 QStringLiteral("MATEMATİK"),
                 QStringLiteral("Yüzdeler"),
                 QStringLiteral("%1 liralık bir ürüne %%%2 indirim yapılıyor. İndirim kaç liradır?")
                     .arg(base)
                     .arg(p),
                 n(base * p / 100),
                 near(base * p / 100, rng)};
  }
  for (int i = 0; i < 10; ++i) {
    const int w = small(rng), h = small(rng);
    Draft d{QStringLiteral("6. SINIF"),
            QStringLiteral("MATEMATİK"),
            QStringLiteral("Alan Ölçme"),
            QStringLiteral("Şekildeki dikdörtgenin alanı kaç santimetrekaredir?"),
            n(w * h),
            near(w * h, rng)};
    d.figure = Draft::Figure::Rectangle;
    d.numbers = {w, h};
    out << d;
  }
  for (int i = 0; i < 12; ++i) {
    const int a = small(rng) + 4, b = two(rng) % 24 + 17;  // b > a: five different choices
    out << Draft{QStringLiteral("7. SINIF"),
                 QStringLiteral("MATEMATİK"),
                 QStringLiteral("Tam Sayılarla İşlemler"),
                 QStringLiteral("(-%1) + %2 işleminin sonucu kaçtır?").arg(a).arg(b),
                 n(b - a),
                 [&] {
                   QStringList w;
                   for (int v : {a + b, a - b, -(a + b), b - a + 2}) w << n(v);
                   return w;
                 }()};
  }
  for (int i = 0; i < 10; ++i) {
    const int whole = small(rng), tenths = 1 + int(rng() % 9);
    out << Draft{
        QStringLiteral("6. SINIF"),
        QStringLiteral("MATEMATİK"),
        QStringLiteral("Ondalık Gösterim"),
        QStringLiteral("%1 tam %2 onda birin ondalık gösterimi hangisidir?").arg(whole).arg(tenths),
        QStringLiteral("%1,%2").arg(whole).arg(tenths),
        {QStringLiteral("%1,0%2").arg(whole).arg(tenths),
         QStringLiteral("%1,%2").arg(tenths).arg(whole),
         QStringLiteral("%1%2").arg(whole).arg(tenths),
         QStringLiteral("0,%1%2").arg(whole).arg(tenths)}};
  }
  for (int i = 0; i < 10; ++i) {
    const int x = small(rng), a = small(rng);
    out << Draft{QStringLiteral("7. SINIF"),
                 QStringLiteral("MATEMATİK"),
                 QStringLiteral("Cebirsel İfadeler"),
                 QStringLiteral("%1x + %2 = %3 denkleminde x kaçtır?").arg(a).arg(x).arg(a * x + x),
                 n(x),
                 near(x, rng)};
  }
}

void turkish(QList<Draft>& out) {
  const char* const pairs[][2] = {
      {"siyah", "kara"},    {"beyaz", "ak"},      {"cevap", "yanıt"},   {"öğretmen", "muallim"},
      {"ilim", "bilim"},    {"misafir", "konuk"}, {"yaşlı", "ihtiyar"}, {"kırmızı", "al"},
      {"okul", "mektep"},   {"sene", "yıl"},      {"vatan", "yurt"},    {"hediye", "armağan"},
      {"zengin", "varsıl"}, {"ırmak", "nehir"},   {"doktor", "hekim"},  {"cümle", "tümce"},
      {"şiir", "koşuk"},    {"kelime", "sözcük"}, {"rüya", "düş"},      {"imkân", "olanak"}};
  const char* const opposites[][2] = {
      {"uzun", "kısa"},    {"geniş", "dar"},   {"erken", "geç"},  {"kolay", "zor"},
      {"sıcak", "soğuk"},  {"hızlı", "yavaş"}, {"ağır", "hafif"}, {"derin", "sığ"},
      {"cesur", "korkak"}, {"temiz", "kirli"}, {"eski", "yeni"},  {"acı", "tatlı"},
      {"ince", "kalın"},   {"dolu", "boş"},    {"yakın", "uzak"}, {"aydınlık", "karanlık"}};
  const int pairCount = int(std::size(pairs));
  for (int i = 0; i < pairCount; ++i) {
    QStringList wrong;
    for (int k = 1; k <= 4; ++k) wrong << QString::fromUtf8(pairs[(i + 3 * k) % pairCount][1]);
    out << Draft{i < 10 ? QStringLiteral("5. SINIF") : QStringLiteral("6. SINIF"),
                 QStringLiteral("TÜRKÇE"),
                 QStringLiteral("Sözcükte Anlam"),
                 QStringLiteral("\"%1\" sözcüğünün eş anlamlısı aşağıdakilerden hangisidir?")
                     .arg(QString::fromUtf8(pairs[i][0])),
                 QString::fromUtf8(pairs[i][1]),
                 wrong};
  }
  const int oppositeCount = int(std::size(opposites));
  for (int i = 0; i < oppositeCount; ++i) {
    QStringList wrong;
    for (int k = 1; k <= 4; ++k)
      wrong << QString::fromUtf8(opposites[(i + 3 * k) % oppositeCount][1]);
    out << Draft{QStringLiteral("7. SINIF"),
                 QStringLiteral("TÜRKÇE"),
                 QStringLiteral("Sözcükte Anlam"),
                 QStringLiteral("\"%1\" sözcüğünün zıt anlamlısı aşağıdakilerden hangisidir?")
                     .arg(QString::fromUtf8(opposites[i][0])),
                 QString::fromUtf8(opposites[i][1]),
                 wrong};
  }
}

void science(QList<Draft>& out) {
  struct Fact {
    const char* level;
    const char* unit;
    const char* stem;
    const char* correct;
    const char* wrong[4];
  };
  static const Fact facts[] = {
      {"5. SINIF",
       "Güneş, Dünya ve Ay",
       "Dünya'nın kendi ekseni etrafında dönmesi sonucunda ne oluşur?",
       "Gece ve gündüz",
       {"Mevsimler", "Ay tutulması", "Gelgit", "Yıllar"}},
      {"5. SINIF",
       "Güneş, Dünya ve Ay",
       "Ay'ın Dünya etrafında bir tam dolanımı yaklaşık kaç gün sürer?",
       "29,5",
       {"7", "15", "365", "60"}},
      {"5. SINIF",
       "Güneş, Dünya ve Ay",
       "Güneş sistemindeki en büyük gezegen hangisidir?",
       "Jüpiter",
       {"Mars", "Venüs", "Merkür", "Dünya"}},
      {"5. SINIF",
       "Canlılar Dünyası",
       "Aşağıdakilerden hangisi omurgasız bir hayvandır?",
       "Salyangoz",
       {"Kedi", "Kartal", "Yılan", "Balina"}},
      {"5. SINIF",
       "Canlılar Dünyası",
       "Mantarlar besinlerini nasıl elde eder?",
       "Ayrıştırarak",
       {"Fotosentezle", "Avlanarak", "Güneşten", "Topraktan taşla"}},
      {"5. SINIF",
       "Canlılar Dünyası",
       "Bitkilerde fotosentez en çok hangi organda olur?",
       "Yaprak",
       {"Kök", "Çiçek", "Tohum", "Meyve"}},
      {"6. SINIF",
       "Vücudumuzdaki Sistemler",
       "Kanı vücuda pompalayan organ hangisidir?",
       "Kalp",
       {"Akciğer", "Böbrek", "Mide", "Karaciğer"}},
      {"6. SINIF",
       "Vücudumuzdaki Sistemler",
       "Besinlerin kimyasal sindirimi hangi organda tamamlanır?",
       "İnce bağırsak",
       {"Mide", "Yemek borusu", "Ağız", "Kalın bağırsak"}},
      {"6. SINIF",
       "Vücudumuzdaki Sistemler",
       "Soluk alırken diyafram nasıl hareket eder?",
       "Kasılıp aşağı iner",
       {"Gevşeyip yukarı çıkar", "Hiç hareket etmez", "Sağa kayar", "Öne çıkar"}},
      {"6. SINIF",
       "Kuvvet ve Hareket",
       "Kuvvetin birimi aşağıdakilerden hangisidir?",
       "Newton",
       {"Joule", "Watt", "Metre", "Kilogram"}},
      {"6. SINIF",
       "Kuvvet ve Hareket",
       "Sürtünme kuvveti hareketi nasıl etkiler?",
       "Zorlaştırır",
       {"Hızlandırır", "Etkilemez", "Yönünü ters çevirir", "Sonsuz yapar"}},
      {"6. SINIF",
       "Kuvvet ve Hareket",
       "Hız birimi aşağıdakilerden hangisi olabilir?",
       "km/saat",
       {"kg", "Newton", "°C", "Litre"}},
      {"7. SINIF",
       "Madde ve Enerji",
       "Suyun deniz seviyesinde kaynama sıcaklığı kaç °C'dir?",
       "100",
       {"0", "50", "80", "120"}},
      {"7. SINIF",
       "Madde ve Enerji",
       "Atomun çekirdeğinde hangi tanecikler bulunur?",
       "Proton ve nötron",
       {"Yalnız elektron", "Elektron ve proton", "Yalnız nötron", "Molekül"}},
      {"7. SINIF",
       "Madde ve Enerji",
       "Katı bir maddenin doğrudan gaza dönüşmesine ne denir?",
       "Süblimleşme",
       {"Erime", "Donma", "Yoğuşma", "Buharlaşma"}},
      {"7. SINIF",
       "Işığın Madde ile Etkileşimi",
       "Beyaz ışık prizmadan geçince ne olur?",
       "Renklerine ayrılır",
       {"Kaybolur", "Siyaha döner", "Hızı artar", "Isınır"}},
      {"7. SINIF",
       "Işığın Madde ile Etkileşimi",
       "Düz aynada oluşan görüntü için hangisi doğrudur?",
       "Cisimle aynı boydadır",
       {"Ters döner", "Cisimden büyüktür", "Cisimden küçüktür", "Renksizdir"}},
      {"7. SINIF",
       "Işığın Madde ile Etkileşimi",
       "Işığı en çok yansıtan renk hangisidir?",
       "Beyaz",
       {"Siyah", "Lacivert", "Kahverengi", "Mor"}},
  };
  for (const Fact& f : facts) {
    QStringList wrong;
    for (const char* w : f.wrong) wrong << QString::fromUtf8(w);
    out << Draft{QString::fromUtf8(f.level),   QStringLiteral("FEN BİLİMLERİ"),
                 QString::fromUtf8(f.unit),    QString::fromUtf8(f.stem),
                 QString::fromUtf8(f.correct), wrong};
  }
}

void social(QList<Draft>& out) {
  const QStringList regions{QStringLiteral("Marmara"),          QStringLiteral("Ege"),
                            QStringLiteral("Akdeniz"),          QStringLiteral("İç Anadolu"),
                            QStringLiteral("Karadeniz"),        QStringLiteral("Doğu Anadolu"),
                            QStringLiteral("Güneydoğu Anadolu")};
  const char* const cities[][2] = {{"Bursa", "Marmara"},
                                   {"Edirne", "Marmara"},
                                   {"İzmir", "Ege"},
                                   {"Manisa", "Ege"},
                                   {"Antalya", "Akdeniz"},
                                   {"Adana", "Akdeniz"},
                                   {"Ankara", "İç Anadolu"},
                                   {"Konya", "İç Anadolu"},
                                   {"Kayseri", "İç Anadolu"},
                                   {"Trabzon", "Karadeniz"},
                                   {"Samsun", "Karadeniz"},
                                   {"Rize", "Karadeniz"},
                                   {"Erzurum", "Doğu Anadolu"},
                                   {"Van", "Doğu Anadolu"},
                                   {"Malatya", "Doğu Anadolu"},
                                   {"Gaziantep", "Güneydoğu Anadolu"},
                                   {"Diyarbakır", "Güneydoğu Anadolu"},
                                   {"Mardin", "Güneydoğu Anadolu"},
                                   {"Kocaeli", "Marmara"},
                                   {"Denizli", "Ege"}};
  int i = 0;
  for (const auto& c : cities) {
    const QString region = QString::fromUtf8(c[1]);
    QStringList wrong;
    for (int k = 1; wrong.size() < 4; ++k) {
      const QString r = regions.at((regions.indexOf(region) + k * 2) % regions.size());
      if (r != region && !wrong.contains(r)) wrong << r;
    }
    out << Draft{i++ < 10 ? QStringLiteral("5. SINIF") : QStringLiteral("6. SINIF"),
                 QStringLiteral("SOSYAL BİLGİLER"),
                 QStringLiteral("Bölgemizi Tanıyalım"),
                 QStringLiteral("%1 ili hangi coğrafi bölgemizdedir?").arg(QString::fromUtf8(c[0])),
                 region + QStringLiteral(" Bölgesi"),
                 [&] {
                   QStringList w;
                   for (const QString& r : wrong) w << r + QStringLiteral(" Bölgesi");
                   return w;
                 }()};
  }
  const QStringList months{QStringLiteral("Ocak"), QStringLiteral("Şubat"), QStringLiteral("Mart"),
                           QStringLiteral("Nisan"), QStringLiteral("Mayıs")};
  for (int k = 0; k < 12; ++k) {
    Draft d{QStringLiteral("7. SINIF"),
            QStringLiteral("SOSYAL BİLGİLER"),
            QStringLiteral("Kültür ve Miras"),
            QStringLiteral("Grafikte bir kütüphaneden aylara göre ödünç alınan kitap sayıları "
                           "verilmiştir. En çok kitap hangi ayda alınmıştır?"),
            {},
            {}};
    d.figure = Draft::Figure::Chart;
    const int top = k % 5;
    for (int m = 0; m < 5; ++m) d.numbers << (m == top ? 90 : 30 + (m * 17 + k * 7) % 50);
    d.correct = months.at(top);
    for (int m = 0; m < 5; ++m)
      if (m != top) d.wrong << months.at(m);
    out << d;
  }
}

void english(QList<Draft>& out) {
  const char* const words[][2] = {
      {"apple", "elma"},       {"book", "kitap"},       {"window", "pencere"},
      {"teacher", "öğretmen"}, {"river", "ırmak"},      {"bread", "ekmek"},
      {"cloud", "bulut"},      {"chair", "sandalye"},   {"green", "yeşil"},
      {"friend", "arkadaş"},   {"summer", "yaz"},       {"kitchen", "mutfak"},
      {"happy", "mutlu"},      {"bridge", "köprü"},     {"horse", "at"},
      {"mountain", "dağ"},     {"village", "köy"},      {"weather", "hava durumu"},
      {"answer", "cevap"},     {"library", "kütüphane"}};
  const int count = int(std::size(words));
  for (int i = 0; i < count; ++i) {
    QStringList wrong;
    for (int k = 1; k <= 4; ++k) wrong << QString::fromUtf8(words[(i + 3 * k) % count][1]);
    out << Draft{i < 10 ? QStringLiteral("5. SINIF") : QStringLiteral("6. SINIF"),
                 QStringLiteral("İNGİLİZCE"),
                 QStringLiteral("Vocabulary"),
                 QStringLiteral("\"%1\" kelimesinin Türkçe anlamı nedir?")
                     .arg(QString::fromUtf8(words[i][0])),
                 QString::fromUtf8(words[i][1]),
                 wrong};
  }
}

// A question whose figure is part of its picture: drawn, not typed.
QByteArray drawFigure(const Draft& d, const QStringList& choices) {
  const int w = 1600, h = 900;
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(40);
  p.setFont(font);
  p.drawText(QRect(60, 30, w - 120, 130), Qt::TextWordWrap, d.stem);
  const QRect area(80, 190, 900, 640);
  p.setPen(QPen(Qt::black, 4));
  if (d.figure == Draft::Figure::Rectangle) {
    const int cw = d.numbers.at(0), ch = d.numbers.at(1);
    const double scale = std::min(700.0 / cw, 520.0 / ch);
    const QRect r(area.left() + 60, area.top() + 40, int(cw * scale), int(ch * scale));
    p.setBrush(QColor(0xdd, 0xee, 0xff));
    p.drawRect(r);
    p.drawText(QRect(r.left(), r.bottom() + 10, r.width(), 50), Qt::AlignCenter,
               QStringLiteral("%1 cm").arg(cw));
    p.drawText(QRect(r.right() + 10, r.top(), 140, r.height()), Qt::AlignVCenter,
               QStringLiteral("%1 cm").arg(ch));
  } else {
    const QStringList months{QStringLiteral("Ocak"), QStringLiteral("Şubat"),
                             QStringLiteral("Mart"), QStringLiteral("Nisan"),
                             QStringLiteral("Mayıs")};
    p.drawLine(area.bottomLeft(), area.bottomRight());
    p.drawLine(area.bottomLeft(), area.topLeft());
    for (int m = 0; m < 5; ++m) {
      const int bh = d.numbers.at(m) * 5;
      const QRect bar(area.left() + 40 + m * 170, area.bottom() - bh, 110, bh);
      p.fillRect(bar, QColor(0x44, 0x88, 0xcc));
      p.drawText(QRect(bar.left() - 30, area.bottom() + 5, 170, 50), Qt::AlignHCenter,
                 months.at(m));
    }
  }
  font.setPixelSize(44);
  p.setFont(font);
  for (int i = 0; i < choices.size(); ++i)
    p.drawText(QRect(1080, 230 + i * 110, 480, 100), Qt::AlignVCenter,
               QStringLiteral("%1) %2").arg(QChar(char16_t(u'A' + i))).arg(choices.at(i)));
  p.end();
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return buffer.data();
}

Status defineUnits(store::Store& store, const QList<Draft>& drafts) {
  for (const Draft& d : drafts) {
    if (Status s =
            store.run(QStringLiteral(
                          "INSERT INTO TABLETANIMLAMALAR (TANIMADI,SEVIYE,DERS,UNITE,KONU,KAZANIM) "
                          "SELECT 'UNITELER',?,?,?,'','' WHERE NOT EXISTS (SELECT 1 FROM "
                          "TABLETANIMLAMALAR WHERE TANIMADI='UNITELER' AND SEVIYE=? AND DERS=? "
                          "AND UNITE=?)"),
                      {d.level, d.course, d.unit, d.level, d.course, d.unit});
        !s)
      return s;
  }
  return {};
}

}  // namespace

Status createDemoBank(store::Store& store) {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    return Status::failure(QStringLiteral("Sorular çizilemedi: grafik ortamı başlatılmamış."));
  const Result<QVariant> any = store.scalar(QStringLiteral("SELECT COUNT(*) FROM TABLESORU"));
  if (!any) return Status::failure(any.error());
  if (any->toInt() > 0) return {};
  std::mt19937 rng(20260901);
  QList<Draft> drafts;
  mathematics(drafts, rng);
  turkish(drafts);
  science(drafts);
  social(drafts);
  english(drafts);

  QStringList types = lists::SoruTuruDoldur();
  QStringList difficulties = lists::ZorlukDoldur();
  types.removeAll(lists::kTumu);
  difficulties.removeAll(lists::kTumu);
  store::Transaction tx(store);
  if (Status s = defineUnits(store, drafts); !s) return s;
  QuestionBank bank(store);
  QStringList keys;
  for (qsizetype i = 0; i < drafts.size(); ++i) {
    const Draft& d = drafts.at(i);
    // The correct choice takes a place of its own in each question.
    const int at = int(rng() % 5);
    QStringList choices = d.wrong.mid(0, 4);
    choices.insert(at, d.correct);
    Question q;
    q.seviye = d.level;
    q.ders = d.course;
    q.unite = d.unit;
    q.dogruSik = QString(QChar(char16_t(u'A' + at)));
    q.turu = types.at(i % 3);
    q.zorluk = difficulties.at((i * 7) % difficulties.size());
    q.puan = QString::number(5 * (1 + i % 4));
    q.sure = QString::number(30 + 15 * (i % 4));
    QuestionPictures pictures;
    if (d.figure == Draft::Figure::None) {
      TypedQuestion t;
      t.setStemText(d.stem);
      for (int c = 0; c < 5; ++c) t.setChoice(c, choices.at(c));
      Result<QByteArray> png = t.picture();
      if (!png) return Status::failure(png.error());
      pictures.question = png.value();
      q.soruIcerik = t.plainText();
    } else {
      pictures.question = drawFigure(d, choices);
    }
    const Result<QString> key = bank.add(q, pictures);
    if (!key) return Status::failure(key.error());
    keys << key.value();
  }

  // Five tests: picked by hand, by selection and by a blueprint.
  TestCatalog catalog(store);
  TestQuestions members(store);
  RandomSource random(7);
  AutoSelection selection(store, random);
  auto makeTest = [&](const QString& name, const QString& level, const QString& course,
                      const QString& unit) -> Result<QString> {
    Test t;
    t.testAdi = name;
    t.hazirlayan = QStringLiteral("Derslik Örnek");
    t.seviye = level;
    t.ders = course;
    t.unite = unit;
    return catalog.create(t);
  };
  auto pick = [&](const QString& course, const QString& unit, int count) {
    QStringList out;
    for (qsizetype i = 0; i < drafts.size() && out.size() < count; ++i)
      if (drafts.at(i).course == course && (unit.isEmpty() || drafts.at(i).unit == unit))
        out << keys.at(i);
    return out;
  };
  const Result<QString> fractions =
      makeTest(QStringLiteral("Kesirler Kısa Sınav"), QStringLiteral("5. SINIF"),
               QStringLiteral("MATEMATİK"), QStringLiteral("Kesirler"));
  const Result<QString> words =
      makeTest(QStringLiteral("İngilizce Kelime Testi"), QStringLiteral("5. SINIF"),
               QStringLiteral("İNGİLİZCE"), QStringLiteral("Vocabulary"));
  const Result<QString> turkce =
      makeTest(QStringLiteral("Sözcükte Anlam Deneme"), QStringLiteral("7. SINIF"),
               QStringLiteral("TÜRKÇE"), QStringLiteral("Sözcükte Anlam"));
  const Result<QString> scienceTest =
      makeTest(QStringLiteral("Fen Bilimleri Tarama"), QStringLiteral("6. SINIF"),
               QStringLiteral("FEN BİLİMLERİ"), QString());
  const Result<QString> mixed =
      makeTest(QStringLiteral("Genel Tekrar"), QString(), QString(), QString());
  for (const Result<QString>* r : {&fractions, &words, &turkce, &scienceTest, &mixed})
    if (!*r) return Status::failure(r->error());
  if (Status s = members.add(fractions.value(),
                             pick(QStringLiteral("MATEMATİK"), QStringLiteral("Kesirler"), 8));
      !s)
    return s;
  if (Status s = members.add(words.value(), pick(QStringLiteral("İNGİLİZCE"), QString(), 10)); !s)
    return s;
  if (Status s = members.add(turkce.value(), pick(QStringLiteral("TÜRKÇE"), QString(), 10)); !s)
    return s;
  SelectionRow scienceRow;
  scienceRow.criteria.curriculum.course = QStringLiteral("FEN BİLİMLERİ");
  scienceRow.count = 12;
  if (Result<SelectionReport> r = selection.run(scienceTest.value(), scienceRow); !r)
    return Status::failure(r.error());
  QList<SelectionRow> blueprint(3);
  blueprint[0].criteria.curriculum.course = QStringLiteral("MATEMATİK");
  blueprint[0].count = 4;
  blueprint[1].criteria.curriculum.course = QStringLiteral("SOSYAL BİLGİLER");
  blueprint[1].count = 3;
  blueprint[2].criteria.zorluk = QStringLiteral("Zor");
  blueprint[2].count = 3;
  if (Result<SelectionReport> r = selection.runBlueprint(mixed.value(), blueprint); !r)
    return Status::failure(r.error());
  // The vocabulary test has booklets B (reversed) and C (shifted by three).
  BookletOrders orders(store);
  QList<int> reversed, shifted;
  for (int k = 1; k <= 10; ++k) {
    reversed << 11 - k;
    shifted << (k + 2) % 10 + 1;
  }
  if (Status s = orders.writeOrder(words.value(), Booklet::B, reversed); !s) return s;
  if (Status s = orders.writeOrder(words.value(), Booklet::C, shifted); !s) return s;
  store.changed(store::Change::Questions | store::Change::Tests | store::Change::Lists);
  return tx.commit();
}

}  // namespace authoring
