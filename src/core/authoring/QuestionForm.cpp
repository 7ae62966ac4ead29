#include "authoring/QuestionForm.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QSaveFile>

#include "Messages.h"
#include "authoring/QuestionBank.h"
#include "authoring/QuestionKeys.h"
#include "authoring/QuestionMedia.h"
#include "curriculum/CurriculumLists.h"
#include "lists/FilterLists.h"
#include "store/Parameters.h"
#include "store/Resources.h"
#include "store/Store.h"

namespace authoring {

namespace {

const QString kSection = QStringLiteral("SoruHazirlama");
const QString kAbsent = QStringLiteral("\x01");
// The search lists' entries are kept under keys of their own: an older Derslik
// kept places under the plain keys, and "7" could be either in the points list.
QString textKey(const QString& key) { return key + QStringLiteral("Metni"); }

QByteArray png(const QImage& image) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return buffer.data();
}

// A key as a file name part (package keys are letters and digits already).
QString fileSafe(const QString& key) {
  QString s = key;
  for (QChar& c : s)
    if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':'))
      c = QLatin1Char('_');
  return s;
}

}  // namespace

QString QuestionForm::saveCaption() const {
  return m_mode == Mode::New ? QStringLiteral("Ekle") : QStringLiteral("Kaydet");
}

QString QuestionForm::deleteCaption() const {
  return m_mode == Mode::New ? QStringLiteral("İptal") : QStringLiteral("Sil");
}

QString QuestionForm::counterText() const {
  return QStringLiteral("%1/%2").arg(m_position + 1).arg(m_keys.size());
}

Status QuestionForm::reloadKeys() {
  Result<QStringList> keys = QuestionSearch{}.keys(m_store);
  if (!keys) return Status::failure(keys.error());
  m_keys = keys.value();
  return {};
}

Status QuestionForm::open() {
  if (Status s = reloadKeys(); !s) return s;
  m_fields = Question{};
  return beginNew();
}

Status QuestionForm::refresh() {
  if (Status s = reloadKeys(); !s) return s;
  if (m_mode == Mode::New) {
    const Result<qint64> next = keys::nextQuestionNumber(m_store);
    if (!next) return Status::failure(next.error());
    m_fields.soruNo = m_saved.soruNo = QString::number(next.value());
    return {};
  }
  m_position = int(m_keys.indexOf(m_fields.soruNo));
  if (m_position >= 0) return {};
  // Deleted elsewhere: a question that is gone cannot stay on the screen.
  const Result<bool> live = QuestionBank(m_store).isLive(m_fields.soruNo);
  if (live && live.value()) return {};
  return m_keys.isEmpty() ? beginNew() : show(m_keys.first());
}

bool QuestionForm::canNavigate(Nav nav) const {
  const int last = int(m_keys.size()) - 1;
  if (last < 0) return false;
  switch (nav) {
    case Nav::First:
    case Nav::Previous:
    case Nav::Back20:
      return m_position != 0 && (m_position > 0 || nav == Nav::First);
    case Nav::Next:
    case Nav::Last:
    case Nav::Forward20:
      return m_position < last;
  }
  return false;
}

Status QuestionForm::navigate(Nav nav) {
  if (m_keys.isEmpty()) return beginNew();
  if (!canNavigate(nav)) return {};
  const int last = int(m_keys.size()) - 1;
  int target = m_position;
  switch (nav) {
    case Nav::First:
      target = 0;
      break;
    case Nav::Previous:
      target = m_position - 1;
      break;
    case Nav::Next:
      target = m_position + 1;
      break;
    case Nav::Last:
      target = last;
      break;
    case Nav::Back20:
      target = m_position - 20;
      break;
    case Nav::Forward20:
      target = m_position + 20;
      break;
  }
  return show(m_keys.at(std::clamp(target, 0, last)));
}

Status QuestionForm::show(const QString& key) {
  if (Status s = load(key); !s) return s;
  m_position = int(m_keys.indexOf(key));
  return {};
}

Status QuestionForm::load(const QString& key) {
  const QuestionBank bank(m_store);
  const Result<Question> row = bank.load(key);
  if (!row) return Status::failure(row.error());
  const Result<QuestionPictures> pictures = bank.pictures(key);
  if (!pictures) return Status::failure(pictures.error());
  QDir netFile(m_store.subFolder(QStringLiteral("NetFile")));
  for (const QString& f : netFile.entryList(QDir::Files)) netFile.remove(f);
  m_mode = Mode::Selected;
  m_fields = row.value();
  m_view = View::Question;
  const QByteArray question =
      pictures->question.isEmpty() ? blank(View::Question) : pictures->question;
  const QByteArray solution =
      pictures->solution.isEmpty() ? blank(View::Solution) : pictures->solution;
  if (Status s = writeWorking(View::Question, question); !s) return s;
  if (Status s = writeWorking(View::Solution, solution); !s) return s;
  const QuestionMedia media(m_store);
  auto file = [&](QuestionMedia::Kind kind, const QString& stored) {
    const QString found = media.find(key, kind);
    if (!found.isEmpty()) return found;
    const QString path = media.absolute(stored);
    return QFile::exists(path) ? path : QString();
  };
  m_sound = m_savedSound = file(QuestionMedia::Kind::Sound, m_fields.sesDosyasi);
  m_video = m_savedVideo = file(QuestionMedia::Kind::Video, m_fields.cozumVideo);
  m_saved = m_fields;
  m_pictureChanged[0] = m_pictureChanged[1] = false;
  return {};
}

bool QuestionForm::hasChanges() const {
  return !(m_fields == m_saved) || m_pictureChanged[0] || m_pictureChanged[1] ||
         m_sound != m_savedSound || m_video != m_savedVideo;
}

void QuestionForm::toggleView() {
  m_view = m_view == View::Question ? View::Solution : View::Question;
}

QString QuestionForm::workingPicture(View view) const {
  const bool q = view == View::Question;
  if (m_mode == Mode::New)
    return m_store.path(q ? QStringLiteral("YeniSoru.dce") : QStringLiteral("YeniCevap.dce"));
  return m_store.path(
      QStringLiteral("NetFile/%1%2.dce")
          .arg(q ? QStringLiteral("TT") : QStringLiteral("TK"), fileSafe(m_fields.soruNo)));
}

QByteArray QuestionForm::blank(View view) const {
  const bool q = view == View::Question;
  if (m_mode == Mode::New)
    return store::resourceData(q ? QStringLiteral("YeniSoru.dce")
                                 : QStringLiteral("YeniCevap.dce"));
  return store::resourceData(q ? QStringLiteral("TT.dce") : QStringLiteral("TK.dce"));
}

Status QuestionForm::writeWorking(View view, const QByteArray& bytes) {
  const QString path = workingPicture(view);
  QDir().mkpath(QFileInfo(path).absolutePath());
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    return Status::failure(
        QStringLiteral("Çalışma resmi yazılamadı: %1 (%2)").arg(path, file.errorString()));
  return {};
}

Result<QByteArray> QuestionForm::readWorking(View view) const {
  QFile file(workingPicture(view));
  if (!file.open(QIODevice::ReadOnly))
    return Result<QByteArray>::failure(
        file.errorString() +
        QStringLiteral("\nLütfen önce Word belgesini kapattığınızdan emin olunuz"));
  return file.readAll();
}

Status QuestionForm::choosePicture(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return Status::failure(
        QStringLiteral("Dosya açılamadı: %1 (%2)").arg(path, file.errorString()));
  QByteArray bytes = file.readAll();
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const QByteArray format = reader.format();
  if (format.isEmpty())
    return Status::failure(QStringLiteral("Seçtiğiniz dosya bir resim değil: ") + path);
  if (format != "jpeg" && format != "png") {
    const QImage image = reader.read();
    if (image.isNull())
      return Status::failure(QStringLiteral("Seçtiğiniz resim okunamadı: ") + path);
    return setPicture(image);
  }
  buffer.close();
  if (m_view == View::Question && typed()) m_fields.soruIcerik.clear();
  if (Status s = writeWorking(m_view, bytes); !s) return s;
  m_pictureChanged[int(m_view)] = true;
  return {};
}

Status QuestionForm::setPicture(const QImage& image) {
  if (image.isNull()) return Status::failure(QStringLiteral("Yapıştırılan resim boş."));
  // The text of a typed question belonged to the picture it replaces.
  if (m_view == View::Question && typed()) m_fields.soruIcerik.clear();
  if (Status s = writeWorking(m_view, png(image)); !s) return s;
  m_pictureChanged[int(m_view)] = true;
  return {};
}

std::optional<TypedQuestion> QuestionForm::typed() const {
  const Result<QByteArray> bytes = readWorking(View::Question);
  if (!bytes) return {};
  return TypedQuestion::fromPicture(bytes.value());
}

Status QuestionForm::setTyped(const TypedQuestion& typed) {
  Result<QByteArray> picture = typed.picture();
  if (!picture) return Status::failure(picture.error());
  if (Status s = writeWorking(View::Question, picture.value()); !s) return s;
  m_pictureChanged[0] = true;
  m_fields.soruIcerik = typed.plainText();
  m_view = View::Question;
  return {};
}

QString QuestionForm::mediaLabel() const {
  return m_view == View::Question ? QStringLiteral("Soru Görünürken Çalacak Ses Dosyası")
                                  : QStringLiteral("Çözüm Videosu");
}

void QuestionForm::setMediaPath(const QString& path) {
  (m_view == View::Question ? m_sound : m_video) = path.trimmed();
}

QString QuestionForm::mediaDialogTitle() const {
  return m_view == View::Question ? QStringLiteral("Ses Dosyanızı Seçiniz")
                                  : QStringLiteral("Video Dosyanızı Seçiniz");
}

QString QuestionForm::mediaFilter() const {
  return m_view == View::Question ? QStringLiteral("Ses Dosyaları (*.mp3 *.wav *.mid *.ogg)")
                                  : QStringLiteral("Video Dosyaları (*.avi *.mp4 *.flv *.webm)");
}

QString QuestionForm::recordingPath() const {
  return m_store.path(QStringLiteral("Kayit%1.wav").arg(fileSafe(m_fields.soruNo)));
}

Status QuestionForm::beginNew() {
  const Result<qint64> next = keys::nextQuestionNumber(m_store);
  if (!next) return Status::failure(next.error());
  m_mode = Mode::New;
  m_view = View::Question;
  m_position = -1;
  // The curriculum and classification lists keep their choices for the next
  // question; what describes one question alone does not.
  m_fields.soruNo = QString::number(next.value());
  m_fields.dogruSik.clear();
  m_fields.aciklama.clear();
  m_fields.soruIcerik.clear();
  m_fields.sesDosyasi.clear();
  m_fields.cozumVideo.clear();
  m_fields.silindimi.clear();
  m_sound = m_savedSound = m_video = m_savedVideo = QString();
  if (Status s = writeWorking(View::Question, blank(View::Question)); !s) return s;
  if (Status s = writeWorking(View::Solution, blank(View::Solution)); !s) return s;
  m_saved = m_fields;
  m_pictureChanged[0] = m_pictureChanged[1] = false;
  return {};
}

Status QuestionForm::save() {
  if (!m_fields.anket && m_fields.dogruSik.isEmpty())
    return Status::failure(QuestionBank::noCorrectChoiceMessage());
  m_view = View::Question;
  QuestionPictures pictures;
  for (View v : {View::Question, View::Solution}) {
    Result<QByteArray> bytes = readWorking(v);
    if (!bytes) return Status::failure(bytes.error());
    // An untouched blank is no picture.
    const bool isBlank = bytes.value() == store::resourceData(QStringLiteral("YeniSoru.dce")) ||
                         bytes.value() == store::resourceData(QStringLiteral("YeniCevap.dce"));
    (v == View::Question ? pictures.question : pictures.solution) =
        isBlank ? QByteArray() : bytes.value();
  }
  QuestionBank::MediaChange media;
  if (m_sound != m_savedSound) media.sound = m_sound;
  if (m_video != m_savedVideo) media.video = m_video;
  QuestionBank bank(m_store);
  QString key = m_fields.soruNo;
  if (m_mode == Mode::New) {
    Result<QString> added = bank.add(m_fields, pictures, media);
    if (!added) return Status::failure(added.error());
    key = added.value();
  } else {
    const bool changed = m_pictureChanged[0] || m_pictureChanged[1];
    if (Status s = bank.update(m_fields, changed ? std::optional(pictures) : std::nullopt, media);
        !s)
      return s;
  }
  if (Status s = reloadKeys(); !s) return s;
  return show(key);
}

Status QuestionForm::remove(Messages& messages) {
  if (m_mode != Mode::Selected) return cancel(messages);
  if (!messages.ask(removeQuestion(), QStringLiteral("Soru"), Messages::Answer::No))
    return Status::failure(QString());
  const int remembered = m_position;
  const Result<QuestionBank::Removal> removed = QuestionBank(m_store).remove({m_fields.soruNo});
  if (!removed) return Status::failure(removed.error());
  if (Status s = reloadKeys(); !s) return s;
  if (m_keys.isEmpty()) return beginNew();
  const int target = remembered - 1 >= 0 && remembered - 1 < m_keys.size() ? remembered - 1 : 0;
  return show(m_keys.at(target));
}

Status QuestionForm::cancel(Messages& messages) {
  if (!messages.ask(cancelQuestion(), QStringLiteral("Soru"), Messages::Answer::No))
    return Status::failure(QString());
  return m_mode == Mode::Selected ? show(m_fields.soruNo) : beginNew();
}

Status QuestionForm::duplicate() {
  if (m_mode != Mode::Selected) return Status::failure(saveFirstMessage());
  const Result<QString> copy = QuestionBank(m_store).duplicate(m_fields.soruNo);
  if (!copy) return Status::failure(copy.error());
  if (Status s = reloadKeys(); !s) return s;
  return show(copy.value());
}

Result<QString> QuestionForm::previewKey() const {
  if (m_mode != Mode::Selected) return Result<QString>::failure(saveFirstMessage());
  return m_fields.soruNo;
}

Status QuestionForm::choose(const QStringList& keys) {
  if (keys.isEmpty()) return {};
  const store::InList in = store::inList(keys);
  Result<QStringList> chosen = m_store.column(
      QStringLiteral(
          "SELECT SORUNO FROM TABLESORU WHERE SORUNO IN (%1) AND COALESCE(SILINDIMI,'')<>'1' "
          "ORDER BY %2")
          .arg(in.placeholders, keys::orderBy()),
      in.values);
  if (!chosen) return Status::failure(chosen.error());
  if (chosen->isEmpty()) return Status::failure(QuestionBank::notFoundMessage());
  m_keys = chosen.value();
  return show(m_keys.first());
}

Status QuestionForm::removeMany(const QStringList& keys, Messages& messages,
                                const std::function<void(int, int)>& progress) {
  if (keys.isEmpty()) return {};
  if (!messages.ask(removeManyQuestion(int(keys.size())), QStringLiteral("Soru"),
                    Messages::Answer::No))
    return Status::failure(QString());
  const Result<QuestionBank::Removal> removed = QuestionBank(m_store).remove(keys, progress);
  if (!removed) return Status::failure(removed.error());
  if (Status s = reloadKeys(); !s) return s;
  if (m_mode == Mode::Selected && keys.contains(m_fields.soruNo))
    return m_keys.isEmpty() ? beginNew() : show(m_keys.first());
  return refresh();
}

const QStringList& QuestionForm::searchKeys() {
  static const QStringList keys{QStringLiteral("SeviyeAra"),   QStringLiteral("DersAra"),
                                QStringLiteral("UniteAra"),    QStringLiteral("KonuAra"),
                                QStringLiteral("KazanimAra"),  QStringLiteral("DogruSikAra"),
                                QStringLiteral("SoruTuruAra"), QStringLiteral("ZorlukAra"),
                                QStringLiteral("PuanAra"),     QStringLiteral("SureAra")};
  return keys;
}

void QuestionForm::saveSearchChoices(const QStringList& entries) {
  const QStringList& keys = searchKeys();
  for (qsizetype i = 0; i < keys.size() && i < entries.size(); ++i)
    store::UserSettings::set(kSection, textKey(keys.at(i)), entries.at(i));
}

QStringList QuestionForm::searchChoices() const {
  const QStringList& keys = searchKeys();
  QStringList out;
  if (store::UserSettings::get(kSection, textKey(keys.first()), kAbsent) != kAbsent) {
    for (const QString& key : keys)
      out << store::UserSettings::get(kSection, textKey(key), lists::kTumu);
    return out;
  }
  QStringList places;
  for (const QString& key : keys)
    places << store::UserSettings::get(kSection, key, QStringLiteral("0"));
  const curriculum::CurriculumFilter chosen = curriculum::storedChoices(
      m_store, {places.at(0), places.at(1), places.at(2), places.at(3), places.at(4)});
  out << chosen.level << chosen.course << chosen.unit << chosen.topic << chosen.outcome;
  const QStringList others[] = {lists::CevapDoldur(), lists::SoruTuruDoldur(),
                                lists::ZorlukDoldur(), lists::PuanDoldur(), lists::SureDoldur()};
  for (int i = 0; i < 5; ++i) out << others[i].value(places.at(5 + i).toInt(), lists::kTumu);
  return out;
}

}  // namespace authoring
