#pragma once

#include <QString>

#include "delivery/RunPlan.h"
#include "delivery/RunSetup.h"

namespace store {
class Store;
}

namespace delivery {

// The lesson set-up (frmDersUygula) without its widgets: the choices the screen
// keeps per user, and the hand-over of a lesson run. A lesson run opens on the
// presentation as a free run with the test number "DERS" (RunSession::openFree):
// after "Göster (B)" the teacher asks over the board, opens and closes the vote
// with C, goes on with B, and every question is recorded under the run's key, so
// the report selection finds lesson runs like any other.
class LessonSetup {
 public:
  // Section "DersUygula": each written when its control is clicked, all read on load.
  struct Choices {
    QString className = QStringLiteral("TÜMÜ");                       // SinifiAdi
    RunSettings::Duration duration = RunSettings::Duration::Untimed;  // Sure
    int fixedSeconds = 90;  // SabitSureSn: a duration of cmbSure, 0 for "Süresiz"
    RunSettings::Penalty penalty = RunSettings::Penalty::None;  // Goturu
    bool statistics = false;                                    // Istatistik
    bool remoteTest = false;                                    // KumandaTest
    bool goOnWhenAllAnswered = false;                           // HerkesCevapVerince

    void save() const;
    bool operator==(const Choices&) const = default;
  };
  // The presentation's lesson choices, section "Onizleme".
  struct PreviewChoices {
    int reportIndex = 3;        // DersRaporGoster: cmbDersRaporGoster
    bool questionText = false;  // SoruIcerigi: chkSoruIcerigi

    static PreviewChoices load();
    void save() const;
  };
  // What the teacher chose when pressing the start button.
  struct Start {
    QString className;  // cmbSinifi ("TÜMÜ" for all)
    QString level, course, topic, group, description;
    Choices choices;
    QList<RunSetup::RemoteRow> students;  // selected rows of SlisteKumandalar
    QStringList teachers;                 // selected rows of SlisteOgretmenler
  };

  explicit LessonSetup(store::Store& store) : m_store(store) {}

  // cmbSinifi: "TÜMÜ", then the classes.
  Result<QStringList> classEntries() const;
  // The choices kept for the user. An older Derslik kept places in the class and
  // duration lists: they are read against the lists this screen fills, once, and
  // kept as the class and the seconds from then on.
  Result<Choices> loadChoices() const;
  // The run to open with RunSession::openFree. The grids list
  // RunSetup::classRemotesQuery(class) and RunSetup::teacherRemotesQuery().
  RunPlan plan(const Start& start) const;

 private:
  store::Store& m_store;
};

}  // namespace delivery
