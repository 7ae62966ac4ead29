#include "authoring/TestForm.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QSaveFile>

#include "Messages.h"
#include "authoring/QuestionBank.h"
#include "authoring/QuestionKeys.h"
#include "authoring/TestQuestions.h"
#include "store/Resources.h"
#include "store/Store.h"

namespace authoring {

namespace {

// The start screen being edited; a file of its own, so the question screen's
// working pictures are never touched.
const QString kStartScreenFile = QStringLiteral("TestBaslangic.dce");

}  // namespace

QString TestForm::saveCaption() const {
  return m_mode == Mode::New ? QStringLiteral("Ekle") : QStringLiteral("Kaydet");
}

QString TestForm::deleteCaption() const {
  return m_mode == Mode::New ? QStringLiteral("İptal") : QStringLiteral("Sil");
}

bool TestForm::hasChanges() const { return !(m_fields == m_saved) || m_startScreenChanged; }

Status TestForm::needSavedTest() const {
  if (m_mode != Mode::Selected)
    return Status::failure(QStringLiteral("Lütfen önce testi kaydediniz."));
  return {};
}

Status TestForm::reloadSummary() {
  if (m_mode != Mode::Selected) {
    m_summary = TestSummary{};
    return {};
  }
  const Result<TestSummary> s = TestCatalog(m_store).summary(m_fields.testNo);
  if (!s) return Status::failure(s.error());
  m_summary = s.value();
  return {};
}

Status TestForm::refresh() {
  if (m_mode != Mode::Selected) {
    const Result<qint64> next = keys::nextTestNumber(m_store);
    if (!next) return Status::failure(next.error());
    m_fields.testNo = m_saved.testNo = QString::number(next.value());
    return {};
  }
  const Result<bool> there = TestCatalog(m_store).exists(m_fields.testNo);
  if (!there) return Status::failure(there.error());
  if (!there.value()) return beginNew();
  return reloadSummary();
}

QString TestForm::startScreenPicture() const { return m_store.path(kStartScreenFile); }

Status TestForm::setStartScreen(const QImage& image) {
  if (image.isNull()) return Status::failure(QStringLiteral("Resim boş."));
  QSaveFile file(startScreenPicture());
  if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
    return Status::failure(QStringLiteral("Başlangıç ekranı yazılamadı: ") + file.errorString());
  m_startScreenChanged = true;
  return {};
}

Status TestForm::chooseStartScreen(const QString& path) {
  QImageReader reader(path);
  const QImage image = reader.read();
  if (image.isNull())
    return Status::failure(QStringLiteral("Seçtiğiniz dosya bir resim değil: ") + path);
  return setStartScreen(image);
}

Status TestForm::beginNew() {
  const Result<qint64> next = keys::nextTestNumber(m_store);
  if (!next) return Status::failure(next.error());
  m_mode = Mode::New;
  m_fields = Test{};
  m_fields.testNo = QString::number(next.value());
  m_saved = m_fields;
  m_summary = TestSummary{};
  m_selection.clear();
  const QByteArray blank = store::resourceData(QStringLiteral("YeniSoru.dce"));
  QSaveFile file(startScreenPicture());
  if (!file.open(QIODevice::WriteOnly) || file.write(blank) != blank.size() || !file.commit())
    return Status::failure(QStringLiteral("Başlangıç ekranı yazılamadı: ") + file.errorString());
  m_startScreenChanged = false;
  return {};
}

Status TestForm::load(const QString& testNo) {
  TestCatalog catalog(m_store);
  const Result<Test> test = catalog.load(testNo);
  if (!test) return Status::failure(test.error());
  const Result<QByteArray> start = catalog.startScreen(testNo);
  if (!start) return Status::failure(start.error());
  const QByteArray bytes =
      start->isEmpty() ? store::resourceData(QStringLiteral("YeniSoru.dce")) : start.value();
  QSaveFile file(startScreenPicture());
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    return Status::failure(QStringLiteral("Başlangıç ekranı yazılamadı: ") + file.errorString());
  m_mode = Mode::Selected;
  m_fields = m_saved = test.value();
  m_startScreenChanged = false;
  m_selection.clear();
  return reloadSummary();
}

Status TestForm::loadByNumber(const QString& text) {
  const QString testNo = text.trimmed();
  if (testNo.isEmpty() || testNo == kFreeTestNo)
    return Status::failure(TestCatalog::notFoundMessage());
  return load(testNo);
}

Status TestForm::save(Messages& messages) {
  TestCatalog catalog(m_store);
  std::optional<QByteArray> start;
  if (m_startScreenChanged || m_mode == Mode::New) {
    QFile file(startScreenPicture());
    if (file.open(QIODevice::ReadOnly)) {
      const QByteArray bytes = file.readAll();
      start = bytes == store::resourceData(QStringLiteral("YeniSoru.dce")) ? QByteArray() : bytes;
    }
  }
  if (m_mode == Mode::New) {
    const Result<QString> key = catalog.create(m_fields, start);
    if (!key) return Status::failure(key.error());
    return load(key.value());
  }
  if (Status s = catalog.update(m_fields, start); !s) return s;
  if (Status s = load(m_fields.testNo); !s) return s;
  if (m_summary.questions > 0 && messages.ask(TestCatalog::applyQuestion()))
    return catalog.applyToQuestions(m_fields.testNo);
  return {};
}

Status TestForm::remove(Messages& messages) {
  if (m_mode != Mode::Selected) return cancel(messages);
  if (!messages.ask(TestCatalog::removeQuestion(m_fields.testNo), QStringLiteral("Soru"),
                    Messages::Answer::No))
    return Status::failure(QString());
  if (Status s = TestCatalog(m_store).remove({m_fields.testNo}); !s) return s;
  return beginNew();
}

Status TestForm::cancel(Messages& messages) {
  if (!messages.ask(QStringLiteral(
                        "Değişiklikleri kaybedeceksiniz, devam etmek istediğinizden emin misiniz?"),
                    QStringLiteral("Soru"), Messages::Answer::No))
    return Status::failure(QString());
  return m_mode == Mode::Selected ? load(m_fields.testNo) : beginNew();
}

Status TestForm::removeMany(const QStringList& testNos, Messages& messages) {
  if (testNos.isEmpty()) return {};
  if (!messages.ask(TestCatalog::removeManyQuestion(int(testNos.size())), QStringLiteral("Soru"),
                    Messages::Answer::No))
    return Status::failure(QString());
  if (Status s = TestCatalog(m_store).remove(testNos); !s) return s;
  return m_mode == Mode::Selected && testNos.contains(m_fields.testNo) ? beginNew() : Status();
}

Result<TestRenumbering::Report> TestForm::renumber(const QString& newTestNo) {
  if (Status s = needSavedTest(); !s) return Result<TestRenumbering::Report>::failure(s.error());
  Result<TestRenumbering::Report> report =
      TestRenumbering(m_store).renumber(m_fields.testNo, newTestNo);
  if (!report) return report;
  if (Status s = load(report->testNo); !s)
    return Result<TestRenumbering::Report>::failure(s.error());
  return report;
}

store::Query TestForm::questionsQuery() const { return TestQuestions::gridQuery(m_fields.testNo); }

store::Query TestForm::pickerQuery() const {
  QuestionSearch search = m_picker;
  search.notInTest = m_fields.testNo;
  return search.pickerQuery();
}

Status TestForm::addChosen(const QStringList& keys) {
  if (Status s = needSavedTest(); !s) return s;
  if (Status s = TestQuestions(m_store).add(m_fields.testNo, keys); !s) return s;
  return reloadSummary();
}

Status TestForm::addByNumber(const QString& key) {
  if (Status s = needSavedTest(); !s) return s;
  if (Status s = TestQuestions(m_store).add(m_fields.testNo, {key.trimmed()}); !s) return s;
  return reloadSummary();
}

Status TestForm::addFromDetail(const QString& key, const QString& time) {
  if (Status s = needSavedTest(); !s) return s;
  const Result<QuestionPictures> pictures = QuestionBank(m_store).pictures(key);
  if (!pictures || pictures->question.isEmpty())
    return Status::failure(
        QStringLiteral("Soru içeriği bulunamadı, lütfen soruyu içeren testi yeniden yükleyin"));
  if (Status s = TestQuestions(m_store).addWithTime(m_fields.testNo, key, time); !s) return s;
  return reloadSummary();
}

Status TestForm::removeSelected() {
  if (Status s = needSavedTest(); !s) return s;
  if (Status s = TestQuestions(m_store).remove(m_fields.testNo, m_selection); !s) return s;
  m_selection.clear();
  return reloadSummary();
}

Status TestForm::moveUp() { return TestQuestions(m_store).moveUp(m_fields.testNo, m_selection); }

Status TestForm::moveDown() {
  return TestQuestions(m_store).moveDown(m_fields.testNo, m_selection);
}

Result<QStringList> TestForm::sections() const {
  return m_store.column(
      QStringLiteral("SELECT DISTINCT BOLUM FROM TABLETESTSORU WHERE NZ(BOLUM)<>'' ORDER BY BOLUM "
                     "COLLATE TURKCE"));
}

Status TestForm::setSection(const QString& name) {
  return TestQuestions(m_store).setSection(m_fields.testNo, m_selection, name);
}

Status TestForm::setTime(const QString& time) {
  if (Status s = TestQuestions(m_store).setTime(m_fields.testNo, m_selection, time); !s) return s;
  return reloadSummary();
}

Status TestForm::setCorrectChoice(const QString& key, const QString& letter) {
  return QuestionBank(m_store).setCorrectChoice(key, letter);
}

Result<Question> TestForm::detail(const QString& key) const {
  return QuestionBank(m_store).load(key);
}

Result<QString> TestForm::statistics() const {
  return TestQuestions(m_store).statistics(m_fields.testNo);
}

Status TestForm::shuffle() {
  if (Status s = needSavedTest(); !s) return s;
  return TestQuestions(m_store).shuffle(m_fields.testNo, m_random);
}

Result<SelectionReport> TestForm::autoSelect(const SelectionRow& row,
                                             const AutoSelection::Progress& progress) {
  if (Status s = needSavedTest(); !s) return Result<SelectionReport>::failure(s.error());
  Result<SelectionReport> r = AutoSelection(m_store, m_random).run(m_fields.testNo, row, progress);
  if (Status s = reloadSummary(); !s) return Result<SelectionReport>::failure(s.error());
  return r;
}

Result<SelectionReport> TestForm::autoSelect(const QList<SelectionRow>& blueprint,
                                             const AutoSelection::Progress& progress) {
  if (Status s = needSavedTest(); !s) return Result<SelectionReport>::failure(s.error());
  Result<SelectionReport> r =
      AutoSelection(m_store, m_random).runBlueprint(m_fields.testNo, blueprint, progress);
  if (Status s = reloadSummary(); !s) return Result<SelectionReport>::failure(s.error());
  return r;
}

Result<QString> TestForm::previewTest() const {
  if (m_mode != Mode::Selected || m_summary.questions == 0)
    return Result<QString>::failure(addFirstMessage());
  return m_fields.testNo;
}

}  // namespace authoring
