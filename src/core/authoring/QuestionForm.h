#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

#include "Result.h"
#include "authoring/Question.h"
#include "authoring/QuestionSearch.h"
#include "authoring/TypedQuestion.h"

class Messages;

namespace store {
class Store;
}

namespace authoring {

// Everything the question screen (frmSoruHazirlama, "Soru Hazırlama") shows and
// decides, without a widget: the button states and captions, the navigation set
// and its counter, the edited fields, the question and solution pictures (as
// working files the screen shows), sound and video, typed questions, the search
// panel and its saved list choices, and every message. The screen binds its
// widgets to this object and calls it from their events; it subscribes to
// store.questionsChanged and calls refresh().
class QuestionForm {
 public:
  enum class Mode { New, Selected };  // "Ekle"/"İptal" and "Kaydet"/"Sil"
  enum class View { Question, Solution };
  // cmdNav(0..5)
  enum class Nav { First = 0, Previous, Next, Last, Back20, Forward20 };

  explicit QuestionForm(store::Store& store) : m_store(store) {}

  // Opening the screen: every live question in the navigation set, a new question.
  Status open();
  // Re-reads the navigation set after a change made elsewhere; keeps the question.
  Status refresh();

  Mode mode() const { return m_mode; }
  QString saveCaption() const;    // cmdKaydet
  QString deleteCaption() const;  // cmdSil
  // lblSoruNo: the key, or the number a new question will get.
  const QString& keyText() const { return m_fields.soruNo; }
  // lblSoruSayac: "<position>/<count>"; a new question shows "0/<count>".
  QString counterText() const;
  const QStringList& navigationSet() const { return m_keys; }
  int position() const { return m_position; }  // 0-based, -1 for a new question
  bool canNavigate(Nav nav) const;
  Status navigate(Nav nav);
  // Shows a question of the bank (a row picked elsewhere).
  Status show(const QString& key);

  // The edited fields; survey questions use seviye, unite (survey topic), sure, aciklama.
  Question& fields() { return m_fields; }
  const Question& fields() const { return m_fields; }
  // cmdTestAnket: test question or survey question.
  void setSurvey(bool survey) { m_fields.anket = survey; }
  // True while the fields, pictures, sound or video differ from what is saved.
  bool hasChanges() const;

  // Pictures. The screen shows pictureToShow() (a file) and redraws after a change.
  View view() const { return m_view; }
  void toggleView();  // cmdSoruCevapGoster
  QString workingPicture(View view) const;
  QString pictureToShow() const { return workingPicture(m_view); }
  // A picture file (double-click or drop) replaces the picture of the view shown.
  Status choosePicture(const QString& file);
  // A picture from the clipboard (Ctrl+V) or a drop of image data.
  Status setPicture(const QImage& image);
  static QString pictureDialogTitle() { return QStringLiteral("Resim Dosyanızı Seçiniz"); }
  static QString pictureFilter() {
    return QStringLiteral("Resim Dosyaları (*.jpg *.jpeg *.png *.bmp *.gif)");
  }

  // Typed questions: the text of the question picture, if it was typed here.
  std::optional<TypedQuestion> typed() const;
  // Draws the text into the question picture; SORUICERIK takes its text.
  Status setTyped(const TypedQuestion& typed);

  // Sound (question view) and solution video (solution view).
  QString mediaLabel() const;  // "Soru Görünürken Çalacak Ses Dosyası" / "Çözüm Videosu"
  bool recordEnabled() const { return m_view == View::Question; }
  QString mediaPath() const { return m_view == View::Question ? m_sound : m_video; }
  // cmdSesSec: the chosen file goes into the box of the view shown (copied on save).
  void setMediaPath(const QString& path);
  const QString& soundPath() const { return m_sound; }
  const QString& videoPath() const { return m_video; }
  QString mediaDialogTitle() const;
  QString mediaFilter() const;
  // Where a microphone recording for this question is written: the data folder.
  QString recordingPath() const;
  static QString recordCaption(bool recording) {
    return recording ? QStringLiteral("Durdur") : QStringLiteral("Kayıt Yap");
  }
  static QString noMicrophoneMessage() {
    return QStringLiteral("Bu bilgisayarda ses kaydı yapılacak bir mikrofon bulunamadı.");
  }

  // cmdYeniKayit
  Status beginNew();
  // cmdKaydet. A failure carries the message to show ("Uyarı").
  Status save();
  // cmdSil as "Sil": asks, deletes, moves to the question before. An empty error
  // means the teacher answered "Hayır".
  Status remove(Messages& messages);
  // cmdSil as "İptal": asks, then drops the edits.
  Status cancel(Messages& messages);
  // cmdSoruyuCogalt: the copy is shown.
  Status duplicate();
  // cmdOnizleme: the key to preview, or "Lütfen önce soruyu kaydediniz".
  Result<QString> previewKey() const;

  // The search panel (frameSoruSec).
  QuestionSearch& search() { return m_search; }
  store::Query searchQuery() const { return m_search.bankQuery(); }
  // cmdSoruSec: the chosen live questions become the navigation set.
  Status choose(const QStringList& keys);
  // cmdSecilileriSil. An empty error means "Hayır".
  Status removeMany(const QStringList& keys, Messages& messages,
                    const std::function<void(int, int)>& progress = {});
  // The ten lists of the search panel (level, course, unit, topic, outcome,
  // correct choice, type, difficulty, points, time) as chosen when a search last
  // ran: each entry's text, "TÜMÜ" for none. An older Derslik kept their places
  // under searchKeys(); they are read against the lists the panel fills, the
  // curriculum ones as they cascade from the top.
  static void saveSearchChoices(const QStringList& entries);
  QStringList searchChoices() const;
  static const QStringList& searchKeys();

  static QString removeQuestion() {
    return QStringLiteral("Bu soruyu silmek istediğinizden emin misiniz?");
  }
  static QString cancelQuestion() {
    return QStringLiteral(
        "Değişiklikleri kaybedeceksiniz, devam etmek istediğinizden emin misiniz?");
  }
  static QString removeManyQuestion(int n) {
    return QStringLiteral("Seçili %1 adet soruyu silmek istediğinizden emin misiniz?").arg(n);
  }
  static QString saveFirstMessage() { return QStringLiteral("Lütfen önce soruyu kaydediniz"); }
  // The status line after a save and after cmdSoruyuCogalt.
  static QString savedMessage(const QString& key) {
    return QStringLiteral("Soru %1 kaydedildi.").arg(key);
  }
  static QString duplicatedMessage(const QString& original, const QString& copy) {
    return QStringLiteral("Soru %1 çoğaltıldı: yeni soru %2.").arg(original, copy);
  }

 private:
  Status load(const QString& key);
  Status reloadKeys();
  Status writeWorking(View view, const QByteArray& bytes);
  Result<QByteArray> readWorking(View view) const;
  QByteArray blank(View view) const;

  store::Store& m_store;
  Mode m_mode = Mode::New;
  View m_view = View::Question;
  QStringList m_keys;
  int m_position = -1;
  Question m_fields;
  Question m_saved;
  QString m_sound;
  QString m_video;
  QString m_savedSound;
  QString m_savedVideo;
  bool m_pictureChanged[2]{};
  QuestionSearch m_search;
};

}  // namespace authoring
