#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

#include "Messages.h"
#include "Result.h"
#include "curriculum/CurriculumFilter.h"
#include "delivery/RunPlan.h"
#include "delivery/RunSettings.h"
#include "store/Sql.h"

namespace store {
class Store;
}

namespace delivery {

// The run setup screen (frmTestUygula) without its widgets: the test search, the
// chosen test's summary, the classes and remote lists, the saved options with
// their factory values and the three-button rule, and the checks and hand-over
// that start a run (start() gives the RunPlan a RunSession opens).
class RunSetup {
 public:
  // The search fields of the test list; "TÜMÜ" or empty restricts nothing.
  struct Search {
    curriculum::CurriculumFilter curriculum;
    QString author;     // cmbHazirlayanAra
    QString name;       // txtTestAdiAra: part of the name
    QString applied;    // cmbUygulanma: "TÜMÜ", "UYGULANMAYAN", "UYGULANAN"
    QString className;  // cmbSinifi: the class the run is for
  };
  // The chosen test (lblTestNo ... lblKazanim).
  struct TestSummary {
    QString testNo, name, author;
    int questions = 0;
    int seconds = 0;  // the questions' own times added up
    QString level, course, unit, topic, outcome;
    QString questionsText() const;  // lblSoruSayisi: "12 Soru"
    QString timeText() const;       // lblSure: "540 sn", or "Süresiz"
  };
  // A selected row of SlisteKumandalar.
  struct RemoteRow {
    QString address;
    QString adi;
    QString soyadi;
  };
  // What the teacher chose when pressing "Testi Başlat".
  struct Start {
    TestSummary test;
    QString className;    // cmbSinifi
    QString level;        // cmbSeviye
    QString group;        // cmbGrup
    QString description;  // txtAciklama
    RunSettings settings;
    QList<RemoteRow> students;  // selected rows of SlisteKumandalar, in grid order
    QStringList teachers;       // selected rows of SlisteOgretmenler
  };
  // Both option pages.
  struct Options {
    RunSettings settings;
    RunSetupChoices choices;
    bool operator==(const Options&) const = default;
  };

  static inline const QString kVirtualClass = QStringLiteral("SANAL KUMANDA");

  explicit RunSetup(store::Store& store) : m_store(store) {}

  // ---- the lists
  static QStringList appliedEntries();   // "TÜMÜ", "UYGULANMAYAN", "UYGULANAN"
  static QStringList durationEntries();  // cmbSure: "Süresiz", "5" ... "600"
  // cmbSinifi: "SANAL KUMANDA", then the classes.
  Result<QStringList> classEntries() const;
  // The first real class when there is one, else "SANAL KUMANDA".
  static int defaultClassIndex(const QStringList& entries);
  // cmbGrup offers the groups of earlier runs.
  Result<QStringList> earlierGroups() const;

  // ---- the test list and summary
  // SlisteTestler: TESTNO, TESTADI, SORUSAYISI, DERS, SURE, SEVIYE, HAZIRLAYAN, UNITE,
  // KONU, KAZANIM. Never "Serbest", numbers starting with "E", nor "R…" tests with
  // fewer than 3 questions; ordered by TESTSIRASI, then R04 … R01, then number.
  static store::Query testSearchQuery(const Search& search);
  // lblTestSoruSayisi: "4 ADET TEST, 37 ADET SORU BULUNDU".
  static QString foundText(int tests, int questions);
  // "Test Bulunamadı" when there is no such test.
  Result<TestSummary> summary(const QString& testNo) const;
  // "?": "12 SORU (5. SINIF-MATEMATİK-KESİRLER)", one line per level, course, unit.
  Result<QStringList> questionCountDetail(const QString& testNo) const;

  // ---- the remotes: KUMANDAADRESI, KAYITNO, NUMARASI, ADI, SOYADI, SINIFI, SEVIYE
  // The student remotes of a class (none for "SANAL KUMANDA").
  static store::Query studentRemotesQuery(const QString& className);
  // Every student remote not paired with a deleted student (before a class is chosen).
  static store::Query allStudentRemotesQuery();
  static store::Query teacherRemotesQuery();
  // The student remotes of a class, or of every class for "TÜMÜ" (a remote
  // without a student listed once, with empty student columns).
  static store::Query classRemotesQuery(const QString& classOrAll);

  // ---- options
  // The factory values of both pages.
  static Options factoryOptions() { return {}; }
  // The saved options, forced by the three-button rule when the school uses those remotes.
  Result<Options> loadOptions() const;
  Status saveOptions(const Options& options) const;
  // Places in the lists stored by an older Derslik become the entries they meant
  // (stored so at once, when there were any).
  Status translateOldPositions(RunSetupChoices& choices) const;
  static QString savedText() { return QStringLiteral("Ayarlar Kaydedildi"); }

  // "Video Oynat": the first file Video/<TESTNO>.* in the data folder, or empty.
  QString videoFile(const QString& testNo) const;

  // ---- start
  // The run to open, or nothing after telling the teacher why (an empty test).
  // Without a selected student remote the run is answered on the virtual remote
  // ("0-0") and the remote test screen is off.
  std::optional<RunPlan> start(const Start& start, Messages& messages) const;
  // The start of a run nobody fills on the screen (a simulated or a served run):
  // the class, checked against the classes offered, the settings and every
  // teacher remote. The caller adds the students and, for a test, the test.
  Result<Start> unattendedStart(const QString& className, const RunSettings& settings) const;
  // The name a tile shows for a remote: "ADI SOYADI", or the address when the
  // remote has no student.
  static QString displayName(const RemoteRow& row);
  // The same hand-over for free questioning (the ad-hoc question and the homework
  // check): no test behind it, the test number "SERBEST", the test name and
  // curriculum as the teacher typed them (start.test's fields).
  RunPlan freePlan(const Start& start) const;
  // The test preview refuses an empty test the same way.
  static bool canPreview(const TestSummary& test, Messages& messages);
  static QString emptyTestText() {
    return QStringLiteral("İçerisinde soru olmayan bir test uygulanamaz");
  }

 private:
  RunPlan handOver(const Start& start) const;

  store::Store& m_store;
};

}  // namespace delivery
