#include "screens/authoring/QuestionFilterBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "framework/CurriculumFilters.h"
#include "framework/FilterListFill.h"
#include "lists/FilterLists.h"
#include "screens/authoring/AuthoringScreens.h"

QuestionFilterBox::QuestionFilterBox(const ScreenContext& context, const QString& title,
                                     const QString& suffix, const Parts& parts, QWidget* parent)
    : QGroupBox(title, parent), m_context(context) {
  auto name = [&suffix](const char* stem) { return QString::fromLatin1(stem) + suffix; };
  QComboBox* level = add(name("cmbSeviye"), QStringLiteral("Seviye"), {});
  QComboBox* course = add(name("cmbDers"), QStringLiteral("Ders"), {});
  QComboBox* unit = add(name("cmbUnite"), QStringLiteral("Ünite"), {});
  QComboBox* topic = add(name("cmbKonu"), QStringLiteral("Konu"), {});
  QComboBox* outcome = add(name("cmbKazanim"), QStringLiteral("Kazanım"), {});
  if (parts.correctChoice)
    m_dogruSik = add(name("cmbDogruSik"), QStringLiteral("Doğru Şık"), lists::CevapDoldur());
  m_turu = add(name("cmbSoruTuru"), QStringLiteral("Soru Türü"), lists::SoruTuruDoldur());
  m_zorluk = add(name("cmbZorluk"), QStringLiteral("Zorluk"), lists::ZorlukDoldur());
  if (parts.points) m_puan = add(name("cmbPuan"), QStringLiteral("Puan"), lists::PuanDoldur());
  m_usage = add(name("cmbKullanim"), QStringLiteral("Diğer Testlerdeki Kullanım"),
                {lists::kTumu, QStringLiteral("KULLANILAN"), QStringLiteral("KULLANILMAYAN")});
  m_text = addText(name("txtAciklama"), QStringLiteral("Açıklama"));
  if (parts.testNo) m_testNo = addText(name("txtTestNo"), QStringLiteral("Test No"));
  if (parts.lastAdded)
    m_lastAdded = addText(QStringLiteral("txtSonEklenen"), QStringLiteral("Son Eklenen"));

  auto* g = new QGridLayout(this);
  const int perColumn = int((m_rows.size() + 2) / 3);
  for (int i = 0; i < m_rows.size(); ++i) {
    auto* label = new QLabel(m_rows.at(i).first, this);
    label->setWordWrap(true);
    g->addWidget(label, i % perColumn, (i / perColumn) * 2);
    g->addWidget(m_rows.at(i).second, i % perColumn, (i / perColumn) * 2 + 1);
  }
  for (int c : {1, 3, 5}) g->setColumnStretch(c, 1);

  m_curriculum = new CurriculumFilters(context.store, {level, course, unit, topic, outcome}, this);
  m_curriculum->fillAll();
}

QComboBox* QuestionFilterBox::add(const QString& name, const QString& caption,
                                  const QStringList& entries) {
  QComboBox* c = authoringui::combo(name, this);
  if (!entries.isEmpty()) filtre::fillCombo(c, entries);
  m_rows.append({caption, c});
  return c;
}

QLineEdit* QuestionFilterBox::addText(const QString& name, const QString& caption) {
  QLineEdit* e = authoringui::lineEdit(name, this);
  connect(e, &QLineEdit::returnPressed, this, &QuestionFilterBox::searchRequested);
  m_rows.append({caption, e});
  return e;
}

Status QuestionFilterBox::fill(authoring::QuestionSearch& search) const {
  int last = 0;
  if (m_lastAdded) {
    const Result<int> n = authoring::QuestionSearch::parseLastAdded(m_lastAdded->text());
    if (!n) return Status::failure(n.error());
    last = n.value();
  }
  search.curriculum = m_curriculum->filter();
  search.dogruSik = m_dogruSik ? m_dogruSik->currentText() : QString();
  search.turu = m_turu->currentText();
  search.zorluk = m_zorluk->currentText();
  search.puan = m_puan ? m_puan->currentText() : QString();
  search.usage = authoring::QuestionSearch::usageOf(m_usage->currentText());
  search.text = m_text->text().trimmed();
  search.testNo = m_testNo ? m_testNo->text().trimmed() : QString();
  search.lastAdded = last;
  return {};
}

QString QuestionFilterBox::summary() const {
  QStringList parts;
  for (const auto& [caption, control] : m_rows) {
    QString value;
    if (auto* c = qobject_cast<QComboBox*>(control))
      value = c->currentText() == lists::kTumu ? QString() : c->currentText();
    else if (auto* e = qobject_cast<QLineEdit*>(control))
      value = e->text().trimmed();
    if (!value.isEmpty()) parts << QStringLiteral("%1: %2").arg(caption, value);
  }
  return parts.isEmpty() ? QStringLiteral("Tüm sorular") : parts.join(QStringLiteral(", "));
}
