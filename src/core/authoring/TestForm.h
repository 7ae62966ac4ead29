#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

#include "Result.h"
#include "authoring/AutoSelection.h"
#include "authoring/BookletDocument.h"
#include "authoring/Question.h"
#include "authoring/QuestionSearch.h"
#include "authoring/RandomSource.h"
#include "authoring/Test.h"
#include "authoring/TestCatalog.h"
#include "authoring/TestRenumbering.h"

class Messages;

namespace store {
class Store;
}

namespace authoring {

// Everything the test screen (frmTestHazirlama, "Test Hazırlama") shows and
// decides, without a widget: the test's fields and button states, the count and
// time labels, the start screen, the test search, renumbering, the questions of
// the test with their selection (row IDs, kept across moves), adding by picker,
// by number and from the detail view, removal, moves, sections, times, the
// correct choice, statistics, shuffling and automatic selection with the one
// random engine of the screen, and the booklet panel's choices. The answer key
// form is an AnswerKeyForm, the clipping tool a ClipSession, the booklet a
// BookletDocument. The screen subscribes to store.testsChanged and calls refresh().
class TestForm {
 public:
  enum class Mode { New, Selected };

  explicit TestForm(store::Store& store) : m_store(store) {}

  // Opening the screen: a new test with both show/hide lists on "Gösterme".
  Status open() { return beginNew(); }
  // Re-reads the shown test's summary after a change made elsewhere.
  Status refresh();

  Mode mode() const { return m_mode; }
  QString saveCaption() const;    // "Ekle" / "Kaydet"
  QString deleteCaption() const;  // "İptal" / "Sil"
  // Tabs 1-3, the preview, clipping and booklet buttons: only for a saved test.
  bool savedTestShown() const { return m_mode == Mode::Selected; }
  Test& fields() { return m_fields; }
  const Test& fields() const { return m_fields; }
  const TestSummary& summary() const { return m_summary; }
  QString questionsText() const { return m_summary.questionsText(); }  // lblSoruSayisi
  QString timeText() const { return m_summary.timeText(); }            // lblSure
  bool hasChanges() const;
  // "Gösterme", "Göster": the two show/hide lists; the index is the stored value.
  static QStringList showHideEntries() {
    return {QStringLiteral("Gösterme"), QStringLiteral("Göster")};
  }

  // The start screen picture the screen shows (a file in the data folder).
  QString startScreenPicture() const;
  Status chooseStartScreen(const QString& file);
  Status setStartScreen(const QImage& image);

  Status beginNew();
  Status load(const QString& testNo);
  // cmdTestNoSec: the typed number ("Test Bulunamadı").
  Status loadByNumber(const QString& text);
  // cmdKaydet; after saving an existing test asks whether its information goes
  // onto its questions.
  Status save(Messages& messages);
  // cmdSil as "Sil" (asks) or as "İptal" (asks, drops the edits). An empty
  // error means "Hayır".
  Status remove(Messages& messages);
  Status cancel(Messages& messages);
  // The test search panel.
  TestSearch& search() { return m_search; }
  store::Query searchQuery() const { return m_search.query(); }
  Status removeMany(const QStringList& testNos, Messages& messages);
  // Double-click on lblTestNo: TestRenumbering::prompt() asks for the number.
  Result<TestRenumbering::Report> renumber(const QString& newTestNo);

  // The questions of the test (grid SlisteTesttekiSorular), selected by row ID.
  store::Query questionsQuery() const;
  const QList<int>& selection() const { return m_selection; }
  void select(const QList<int>& ids) { m_selection = ids; }
  // The question picker: its search (limited to questions not in the test).
  QuestionSearch& picker() { return m_picker; }
  store::Query pickerQuery() const;
  Status addChosen(const QStringList& keys);
  Status addByNumber(const QString& key);
  Status addFromDetail(const QString& key, const QString& time);
  Status removeSelected();
  Status moveUp();
  Status moveDown();
  // Sections ("Bölümler"): the names used in this test, and naming the selection.
  Result<QStringList> sections() const;
  Status setSection(const QString& name);
  Status setTime(const QString& time);
  // A click on choice `letter` of the question: every test using it changes.
  Status setCorrectChoice(const QString& key, const QString& letter);
  Result<Question> detail(const QString& key) const;
  Result<QString> statistics() const;
  Status shuffle();
  Result<SelectionReport> autoSelect(const SelectionRow& row,
                                     const AutoSelection::Progress& progress = {});
  Result<SelectionReport> autoSelect(const QList<SelectionRow>& blueprint,
                                     const AutoSelection::Progress& progress = {});
  // cmdMenu(3): the test to preview, or "Lütfen önce teste soru ekleyiniz".
  Result<QString> previewTest() const;

  // The booklet panel's choices (frameKitapcik).
  BookletOptions& booklet() { return m_booklet; }
  RandomSource& random() { return m_random; }

  static QString statisticsTitle() { return QStringLiteral("Soru İstatistiği"); }
  static QString addFirstMessage() { return QStringLiteral("Lütfen önce teste soru ekleyiniz"); }

 private:
  Status reloadSummary();
  Status needSavedTest() const;
  store::Store& m_store;
  Mode m_mode = Mode::New;
  Test m_fields;
  Test m_saved;
  TestSummary m_summary;
  bool m_startScreenChanged = false;
  QList<int> m_selection;
  TestSearch m_search;
  QuestionSearch m_picker;
  BookletOptions m_booklet;
  RandomSource m_random;
};

}  // namespace authoring
