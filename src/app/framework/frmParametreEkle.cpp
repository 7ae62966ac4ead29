#include "frmParametreEkle.h"

#include <QComboBox>
#include <QVBoxLayout>

#include "FilterListFill.h"
#include "TanimEkle.h"

frmParametreEkle::frmParametreEkle(const ScreenContext& context, const QString& parametreAdi,
                                   const QString& aciklama, QWidget* parent)
    : QDialog(parent), m_parametreAdi(parametreAdi) {
  setObjectName(QStringLiteral("frmParametreEkle"));
  setWindowTitle(aciklama);
  m_editor = new TanimEkle(context, objectName(), this);
  m_editor->setObjectName(QStringLiteral("TanimEkle1"));
  m_editor->setUstTekiAciklama(aciklama);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_editor);
  resize(460, 560);

  lists::DefinitionSource source;
  source.table = QStringLiteral("TABLEPARAMETRE");
  source.field = QStringLiteral("PARAMETREDEGERI");
  // A value list name is one of the program's own constants (SEVIYE, DERS ...).
  source.fixedConditions = QStringLiteral("PARAMETREADI=") + parametreAdi;
  if (parametreAdi == QLatin1String("SEVIYE") || parametreAdi == QLatin1String("DERS"))
    source.fixedConditions += QStringLiteral(",PARAMETREACIKLAMA=");
  (void)m_editor->BilgileriAl(source);
  connect(m_editor, &TanimEkle::tanimlarDegisti, this, [this] { m_changed = true; });
}

void frmParametreEkle::setGelenKontrol(QComboBox* combo, std::function<void(QComboBox*)> fill) {
  m_host = combo;
  m_fill = std::move(fill);
  if (combo) m_editor->setGelenKontrolAdi(combo->objectName());
}

void frmParametreEkle::done(int result) {
  if (m_host && m_fill) filtre::reloadKeepingChoice(m_host, m_fill);
  if (m_changed) emit parametrelerDegisti(m_parametreAdi);
  QDialog::done(result);
}
