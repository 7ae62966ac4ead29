#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

#include "Result.h"
#include "authoring/Question.h"

namespace store {
class Store;
}

namespace authoring {

// The question bank: TABLESORU rows with their pictures in the content stores
// and their sound and video files. Each call is one user action in one
// transaction (the row, its pictures and the test memberships together), and
// says store.changed(Questions [| Tests]) when it committed. Used by the
// question screen (through QuestionForm), the test screen, the clipping tool,
// derslik-cli and the demo data.
class QuestionBank {
 public:
  // How a new question gets its key.
  enum class KeyKind {
    Bank,  // the next number
    Free,  // "S" + a number, stored deleted (SILINDIMI "1"): free questioning only
  };
  // What a save does with the sound and the video: nullopt keeps them, an empty
  // text removes them, a path copies that file in (a path that no longer exists
  // removes them, as the box it came from is cleared).
  struct MediaChange {
    std::optional<QString> sound;
    std::optional<QString> video;
  };
  // The outcome of a deletion.
  struct Removal {
    QStringList deleted;  // gone with their pictures and files
    QStringList marked;   // used in a recorded run: marked deleted, kept
  };
  // Called with (done, total) while many questions are deleted.
  using Progress = std::function<void(int done, int total)>;

  explicit QuestionBank(store::Store& store) : m_store(store) {}

  // The row ("Soru Bulunamadı" when there is none, deleted or not).
  Result<Question> load(const QString& key) const;
  // True when a live (not deleted) question has the key.
  Result<bool> isLive(const QString& key) const;
  // The pictures from the content store that holds them (empty when none).
  Result<QuestionPictures> pictures(const QString& key) const;

  // Adds a question and returns its key. A test question needs a correct
  // choice (a free one may have none yet); a survey question keeps only its level, survey topic
  // (UNITE), time and note.
  Result<QString> add(Question question, const QuestionPictures& pictures,
                      const MediaChange& media = {}, KeyKind kind = KeyKind::Bank);
  // Saves an edited question; `pictures` nullopt keeps the stored ones.
  Status update(Question question, const std::optional<QuestionPictures>& pictures,
                const MediaChange& media = {});
  // A copy under the next number with the pictures and the whole curriculum
  // place; sound and video stay empty (their files are named by the original's
  // key and are not copied). Returns the new key.
  Result<QString> duplicate(const QString& key);
  // Deletes questions: one never used in a recorded run goes with its pictures
  // and files; one used in a run is only marked deleted and keeps them. Either
  // way it leaves every test, whose positions close up.
  Result<Removal> remove(const QStringList& keys, const Progress& progress = {});

  // Sets the correct choice of a question: every test that uses it changes.
  Status setCorrectChoice(const QString& key, const QString& letter);

  static QString noCorrectChoiceMessage() {
    return QStringLiteral("Doğru şık belirtmeden test sorusu hazırlayamazsınız!");
  }
  static QString notFoundMessage() { return QStringLiteral("Soru Bulunamadı"); }

 private:
  struct Staging;
  Result<Staging> stageMedia(const Question& current, const MediaChange& media);
  Status writeRow(const Question& q, bool isNew);
  Status definePlace(const Question& q);

  store::Store& m_store;
};

// A question's fields as a survey question or a test question keeps them.
Question normalized(Question q);

}  // namespace authoring
