#include <QComboBox>

#include "WidgetTestBase.h"
#include "framework/CurriculumFilters.h"
#include "framework/FilterListFill.h"
#include "lists/FilterLists.h"
#include "store/Institution.h"

class TestFilterLists : public QObject {
  Q_OBJECT

  WidgetTestBase m_base;

  void definition(const QString& level, const QString& course, const QString& unit,
                  const QString& topic, const QString& outcome) {
    QVERIFY(m_base.store()
                .run(QStringLiteral(
                         "INSERT INTO TABLETANIMLAMALAR (SEVIYE, DERS, UNITE, KONU, KAZANIM) "
                         "VALUES (?,?,?,?,?)"),
                     {level, course, unit, topic, outcome})
                .ok());
  }
  void param(const QString& name, const QString& value, const QString& marker = {}) {
    QVERIFY(m_base.store()
                .run(QStringLiteral("INSERT INTO TABLEPARAMETRE (PARAMETREADI, PARAMETREDEGERI, "
                                    "PARAMETREACIKLAMA) VALUES (?,?,?)"),
                     {name, value, marker})
                .ok());
  }
  static QStringList items(const QComboBox& c) {
    QStringList out;
    for (int i = 0; i < c.count(); ++i) out << c.itemText(i);
    return out;
  }

 private slots:
  void init() {
    QVERIFY(m_base.setUp());
    param("SEVIYE", "5");
    param("SEVIYE", "6");
    param("DERS", "Matematik");
    param("DERS", "Fen");
    param("DERS", "Eski Ders", "1");
    definition("5", "Matematik", "Sayılar", "Toplama", "K1");
    definition("5", "Matematik", "Sayılar", "Çıkarma", "K2");
    definition("5", "Matematik", "Geometri", "Açılar", "K3");
    definition("6", "Matematik", "Kesirler", "Kesir", "K4");
    definition("6", "Fen", "Canlılar", "Hücre", "K5");
  }
  void cleanup() { m_base.tearDown(); }

  void cascade() {
    QComboBox level, course, unit, topic, outcome;
    CurriculumFilters f(m_base.store(), {&level, &course, &unit, &topic, &outcome});
    QSignalSpy changed(&f, &CurriculumFilters::changed);
    f.fillAll();
    QCOMPARE(items(level), (QStringList{"TÜMÜ", "5", "6"}));
    QCOMPARE(items(course), (QStringList{"TÜMÜ", "Fen", "Matematik"}));  // hidden course left out
    QCOMPARE(items(unit), (QStringList{"TÜMÜ", "Sayılar", "Geometri", "Kesirler", "Canlılar"}));
    QCOMPARE(changed.size(), 1);

    course.setCurrentText("Matematik");
    QCOMPARE(changed.size(), 2);
    QCOMPARE(items(unit), (QStringList{"TÜMÜ", "Sayılar", "Geometri", "Kesirler"}));
    level.setCurrentText("5");
    QCOMPARE(items(unit), (QStringList{"TÜMÜ", "Sayılar", "Geometri"}));
    unit.setCurrentText("Sayılar");
    QCOMPARE(items(topic), (QStringList{"TÜMÜ", "Toplama", "Çıkarma"}));
    QCOMPARE(items(outcome), (QStringList{"TÜMÜ", "K1", "K2"}));
    topic.setCurrentText("Çıkarma");
    QCOMPARE(items(outcome), (QStringList{"TÜMÜ", "K2"}));
    outcome.setCurrentText("K2");
    QCOMPARE(f.filter(),
             (curriculum::CurriculumFilter{"5", "Matematik", "Sayılar", "Çıkarma", "K2"}));

    // A change above sends every list below back to "TÜMÜ".
    level.setCurrentText("6");
    QCOMPARE(unit.currentText(), lists::kTumu);
    QCOMPARE(topic.currentText(), lists::kTumu);
    QCOMPARE(outcome.currentText(), lists::kTumu);
    QCOMPARE(items(unit), (QStringList{"TÜMÜ", "Kesirler"}));
    level.setCurrentText("TÜMÜ");
    course.setCurrentText("Fen");
    QCOMPARE(items(unit), (QStringList{"TÜMÜ", "Canlılar"}));
    QCOMPARE(f.filter().condition().sql, QStringLiteral(" AND DERS=?"));
  }

  void partialRowAndThreeButton() {
    QComboBox level, unit;
    CurriculumFilters f(m_base.store(), {&level, nullptr, &unit, nullptr, nullptr});
    QVERIFY(store::setOption(m_base.store(), store::Institution::Option::ThreeButton, true).ok());
    f.fillAll();  // the school's setting: no "TÜMÜ" for levels
    QCOMPARE(items(level), (QStringList{"5", "6"}));
    QCOMPARE(items(unit), (QStringList{"TÜMÜ", "Sayılar", "Geometri"}));
    QCOMPARE(f.filter().course, lists::kTumu);
  }

  void fillKeepsOrSelects() {
    QComboBox c;
    filtre::SureDoldur(&c);
    QCOMPARE(c.count(), 122);
    QCOMPARE(c.currentIndex(), 0);
    filtre::CevapDoldur(&c);
    c.setCurrentText("C");
    QSignalSpy spy(&c, &QComboBox::currentIndexChanged);
    filtre::reloadKeepingChoice(&c, filtre::CevapDoldur);
    QCOMPARE(c.currentText(), QStringLiteral("C"));
    param("SINIFI", "5-B");
    param("SINIFI", "5-A");
    filtre::SinifDoldur(&c, m_base.store());
    QCOMPARE(items(c), (QStringList{"TÜMÜ", "5-A", "5-B"}));
  }
};

QTEST_MAIN(TestFilterLists)
#include "tst_filterlists.moc"
