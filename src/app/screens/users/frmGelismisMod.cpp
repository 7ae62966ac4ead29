#include "screens/users/frmGelismisMod.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "Messages.h"
#include "framework/BrowserAnswers.h"
#include "store/Store.h"
#include "users/Rights.h"

namespace {

constexpr int kCodeRole = Qt::UserRole + 1;

// The denied rights among those listed (the others belong to screens not built).
QString deniedCaptions(const QString& denied, const QStringList& listed) {
  QStringList out;
  for (const QString& code : users::deniedCodes(denied))
    if (listed.contains(code)) out << users::captionOf(code);
  return out.isEmpty() ? QStringLiteral("—") : out.join(QStringLiteral(", "));
}

QString passwordState(const users::UserEntry& e) {
  if (!e.passwordChanged) return QStringLiteral("••••••");
  return e.newPassword.isEmpty() ? QStringLiteral("(şifresiz)") : QStringLiteral("(yeni şifre)");
}

}  // namespace

frmGelismisMod::frmGelismisMod(const ScreenContext& context, QWidget* parent)
    : QWidget(parent), m_context(context) {
  build(std::nullopt);
}

frmGelismisMod::frmGelismisMod(const ScreenContext& context, const QStringList& builtScreens,
                               QWidget* parent)
    : QWidget(parent), m_context(context) {
  build(builtScreens);
}

void frmGelismisMod::build(const std::optional<QStringList>& builtScreens) {
  setObjectName(QStringLiteral("frmGelismisMod"));
  setWindowTitle(QStringLiteral("Gelişmiş Mod Ayarları"));
  // Rows and buttons large enough to hit with a finger on a classroom board.
  setStyleSheet(
      QStringLiteral("QPushButton { min-height: 40px; padding: 0 18px; }"
                     "QCheckBox { min-height: 36px; }"
                     "QTreeView::item { min-height: 24px; }"
                     "QLineEdit { min-height: 32px; }"));

  // Institution options.
  auto* options = new QGroupBox(QStringLiteral("Kurum Seçenekleri"), this);
  auto* optionRow = new QHBoxLayout(options);
  optionRow->setSpacing(24);
  using Option = store::Institution::Option;
  optionRow->addWidget(addOption(Option::AdvancedMode, QStringLiteral("chkGelismisMod"),
                                 QStringLiteral("Gelişmiş mod (kullanıcı girişi)")));
  optionRow->addWidget(addOption(Option::Kindergarten, QStringLiteral("chkAnaokulu"),
                                 QStringLiteral("Anaokulu modu")));
  optionRow->addWidget(addOption(Option::ThreeButton, QStringLiteral("Chk3Dugme"),
                                 QStringLiteral("Üç düğmeli kumandalar")));
  optionRow->addWidget(addOption(Option::DesktopShortcut, QStringLiteral("chkOtomatikKisayol"),
                                 QStringLiteral("Masaüstü kısayolu")));
  optionRow->addStretch(1);

  // Users.
  auto* usersBox = new QGroupBox(QStringLiteral("Kullanıcılar"), this);
  m_lvKullanicilar = new QTreeWidget(usersBox);
  m_lvKullanicilar->setObjectName(QStringLiteral("lvKullanicilar"));
  m_lvKullanicilar->setHeaderLabels({QStringLiteral("Kullanıcı Adı"), QStringLiteral("Şifre"),
                                     QStringLiteral("İzin Verilmeyenler")});
  m_lvKullanicilar->setRootIsDecorated(false);
  m_lvKullanicilar->setUniformRowHeights(true);
  m_lvKullanicilar->setAlternatingRowColors(true);
  m_lvKullanicilar->header()->setStretchLastSection(true);
  m_lvKullanicilar->setColumnWidth(0, 200);
  m_lvKullanicilar->setColumnWidth(1, 110);

  m_txtKullaniciAdi = new QLineEdit(usersBox);
  m_txtKullaniciAdi->setObjectName(QStringLiteral("txtKullaniciAdi"));
  m_txtSifre = new QLineEdit(usersBox);
  m_txtSifre->setObjectName(QStringLiteral("txtSifre"));
  m_txtSifre->setEchoMode(QLineEdit::Password);
  m_txtSifre->setPlaceholderText(QStringLiteral("Değiştirmek için yeni şifreyi yazınız"));
  auto* form = new QFormLayout;
  form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  form->addRow(QStringLiteral("Kullanıcı adı"), m_txtKullaniciAdi);
  form->addRow(QStringLiteral("Şifre"), m_txtSifre);

  m_cmdYeniKayit = new QPushButton(QStringLiteral("Yeni Kullanıcı"), usersBox);
  m_cmdYeniKayit->setObjectName(QStringLiteral("cmdYeniKayit"));
  m_cmdSil = new QPushButton(QStringLiteral("Sil"), usersBox);
  m_cmdSil->setObjectName(QStringLiteral("cmdSil"));
  m_cmdKaydet = new QPushButton(QStringLiteral("Kaydet"), usersBox);
  m_cmdKaydet->setObjectName(QStringLiteral("cmdKaydet"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_cmdYeniKayit);
  buttons->addWidget(m_cmdSil);
  buttons->addStretch(1);
  buttons->addWidget(m_cmdKaydet);

  auto* usersLayout = new QVBoxLayout(usersBox);
  usersLayout->addWidget(m_lvKullanicilar, 1);
  usersLayout->addLayout(form);
  usersLayout->addLayout(buttons);

  // Rights of the selected user: a ticked right is allowed.
  auto* rightsBox = new QGroupBox(QStringLiteral("İzinler"), this);
  m_TVIzinler = new QTreeWidget(rightsBox);
  m_TVIzinler->setObjectName(QStringLiteral("TVIzinler"));
  m_TVIzinler->setHeaderLabels({QStringLiteral("İzin")});
  m_TVIzinler->setUniformRowHeights(true);
  auto* screens = new QTreeWidgetItem(m_TVIzinler, {QStringLiteral("Sayfalar")});
  auto* actions = new QTreeWidgetItem(m_TVIzinler, {QStringLiteral("İşlemler")});
  for (QTreeWidgetItem* group : {screens, actions})
    group->setFlags(group->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
  for (const users::Right& r : users::rights()) {
    if (builtScreens && !builtScreens->contains(r.usedIn)) continue;
    auto* item = new QTreeWidgetItem(r.screen ? screens : actions, {r.caption});
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setData(0, kCodeRole, r.code);
    item->setToolTip(0, QStringLiteral("İzin kodu: ") + r.code);
    item->setCheckState(0, Qt::Checked);
    m_listedCodes << r.code;
  }
  for (QTreeWidgetItem* group : {screens, actions}) group->setHidden(group->childCount() == 0);
  m_TVIzinler->expandAll();
  auto* rightsLayout = new QVBoxLayout(rightsBox);
  rightsLayout->addWidget(m_TVIzinler);

  auto* hint = new QLabel(
      QStringLiteral("Gelişmiş modda her öğretmen kendi kullanıcı adı ve şifresiyle oturum açar "
                     "ve yalnızca işaretli izinleri kullanabilir."),
      this);
  hint->setWordWrap(true);

  auto* body = new QHBoxLayout;
  body->addWidget(usersBox, 3);
  body->addWidget(rightsBox, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(options);
  layout->addWidget(framework::BrowserAnswers::settingsBox(this));
  layout->addWidget(hint);
  layout->addLayout(body, 1);

  connect(m_lvKullanicilar, &QTreeWidget::itemSelectionChanged, this,
          &frmGelismisMod::userSelected);
  connect(m_TVIzinler, &QTreeWidget::itemChanged, this, &frmGelismisMod::rightsTicked);
  connect(m_txtKullaniciAdi, &QLineEdit::textEdited, this, [this](const QString& text) {
    const int row = selectedRow();
    if (row < 0) return;
    m_list.setName(row, text);
    showRow(row);
    setDirty(true);
  });
  connect(m_txtSifre, &QLineEdit::textEdited, this, [this](const QString& text) {
    const int row = selectedRow();
    if (row < 0) return;
    m_list.setPassword(row, text);
    showRow(row);
    setDirty(true);
  });
  connect(m_cmdYeniKayit, &QPushButton::clicked, this, &frmGelismisMod::cmdYeniKayit_Click);
  connect(m_cmdSil, &QPushButton::clicked, this, &frmGelismisMod::cmdSil_Click);
  connect(m_cmdKaydet, &QPushButton::clicked, this, &frmGelismisMod::cmdKaydet_Click);

  loadUsers();
}

QCheckBox* frmGelismisMod::addOption(store::Institution::Option option, const QString& objectName,
                                     const QString& text) {
  auto* box = new QCheckBox(text, this);
  box->setObjectName(objectName);
  box->setChecked(m_context.store.institution().option(option));
  connect(box, &QCheckBox::clicked, this, [this, box, option](bool on) {
    if (const Status s = store::setOption(m_context.store, option, on); !s) {
      box->setChecked(!on);
      m_context.messages.error(s.error());
    }
  });
  m_options << box;
  return box;
}

void frmGelismisMod::loadUsers() {
  Result<users::UserList> loaded = users::UserList::load(m_context.store);
  if (!loaded) {
    m_context.messages.error(loaded.error());
    return;
  }
  m_list = loaded.value();
  fillUsers(m_list.count() > 0 ? 0 : -1);
  setDirty(false);
}

void frmGelismisMod::fillUsers(int row) {
  m_filling = true;
  m_lvKullanicilar->clear();
  for (int i = 0; i < m_list.count(); ++i) new QTreeWidgetItem(m_lvKullanicilar);
  for (int i = 0; i < m_list.count(); ++i) showRow(i);
  m_filling = false;
  selectRow(row);
  if (selectedRow() < 0) userSelected();
}

void frmGelismisMod::showRow(int row) {
  QTreeWidgetItem* item = m_lvKullanicilar->topLevelItem(row);
  if (!item) return;
  const users::UserEntry& e = m_list.at(row);
  item->setText(0, e.name);
  item->setText(1, passwordState(e));
  item->setText(2, deniedCaptions(e.denied, m_listedCodes));
}

int frmGelismisMod::selectedRow() const {
  const QList<QTreeWidgetItem*> picked = m_lvKullanicilar->selectedItems();
  return picked.isEmpty() ? -1 : m_lvKullanicilar->indexOfTopLevelItem(picked.first());
}

void frmGelismisMod::selectRow(int row) {
  if (QTreeWidgetItem* item = m_lvKullanicilar->topLevelItem(row))
    m_lvKullanicilar->setCurrentItem(item);
  else
    m_lvKullanicilar->clearSelection();
}

void frmGelismisMod::userSelected() {
  if (m_filling) return;
  const int row = selectedRow();
  const bool any = row >= 0;
  m_txtKullaniciAdi->setEnabled(any);
  m_txtSifre->setEnabled(any);
  m_TVIzinler->setEnabled(any);
  m_txtKullaniciAdi->setText(any ? m_list.at(row).name : QString());
  m_txtSifre->setText(any && m_list.at(row).passwordChanged ? m_list.at(row).newPassword
                                                            : QString());
  const QStringList denied = any ? users::deniedCodes(m_list.at(row).denied) : QStringList();
  m_filling = true;
  for (int g = 0; g < m_TVIzinler->topLevelItemCount(); ++g) {
    QTreeWidgetItem* group = m_TVIzinler->topLevelItem(g);
    for (int c = 0; c < group->childCount(); ++c) {
      QTreeWidgetItem* item = group->child(c);
      item->setCheckState(
          0, denied.contains(item->data(0, kCodeRole).toString()) ? Qt::Unchecked : Qt::Checked);
    }
  }
  m_filling = false;
}

void frmGelismisMod::rightsTicked() {
  if (m_filling) return;
  const int row = selectedRow();
  if (row < 0) return;
  // Codes of rights not listed stay as they were.
  QStringList denied;
  for (const QString& code : users::deniedCodes(m_list.at(row).denied))
    if (!m_listedCodes.contains(code)) denied << code;
  for (int g = 0; g < m_TVIzinler->topLevelItemCount(); ++g) {
    QTreeWidgetItem* group = m_TVIzinler->topLevelItem(g);
    for (int c = 0; c < group->childCount(); ++c)
      if (group->child(c)->checkState(0) != Qt::Checked)
        denied << group->child(c)->data(0, kCodeRole).toString();
  }
  const QString text = users::deniedText(denied);
  if (text == m_list.at(row).denied) return;
  m_list.setDenied(row, text);
  showRow(row);
  setDirty(true);
}

void frmGelismisMod::cmdYeniKayit_Click() {
  const int row = m_list.addNew();
  fillUsers(row);
  setDirty(true);
  m_txtKullaniciAdi->setFocus();
  m_txtKullaniciAdi->selectAll();
}

void frmGelismisMod::cmdSil_Click() {
  const int row = selectedRow();
  if (row < 0) {
    m_context.messages.warning(
        QStringLiteral(
            "Lütfen en soldaki listeden değişiklik yapmak istediğiniz kullanıcıyı seçiniz"),
        QStringLiteral("UYARI"));
    return;
  }
  if (m_list.count() <= 1) {
    m_context.messages.warning(QStringLiteral("En az bir kullanıcı olmalıdır"));
    return;
  }
  if (!m_context.messages.ask(
          m_list.at(row).name + QStringLiteral(" kullanıcısını silmek istediğinize emin misiniz"),
          QStringLiteral("KULLANICI SİLME"), Messages::Answer::No))
    return;
  if (Status s = m_list.remove(row); !s) {
    m_context.messages.warning(s.error());
    return;
  }
  fillUsers(std::min(row, m_list.count() - 1));
  setDirty(true);
}

bool frmGelismisMod::cmdKaydet_Click() {
  if (Status valid = m_list.validate(); !valid) {
    m_context.messages.warning(valid.error());
    return false;
  }
  const Status s = m_list.save(m_context.store);
  if (!s) {
    m_context.messages.error(s.error());
    return false;
  }
  fillUsers(std::max(0, selectedRow()));
  setDirty(false);
  m_context.messages.info(QStringLiteral("Kullanıcı bilgileri kaydedildi."));
  return true;
}

void frmGelismisMod::setDirty(bool dirty) {
  m_dirty = dirty;
  m_cmdKaydet->setEnabled(dirty);
}

void frmGelismisMod::closeEvent(QCloseEvent* event) {
  if (m_dirty &&
      m_context.messages.ask(QStringLiteral("Kullanıcı listesindeki değişiklikler kaydedilmedi.\n"
                                            "Kaydetmek istiyor musunuz?"),
                             QStringLiteral("Uyarı")) &&
      !cmdKaydet_Click()) {
    event->ignore();
    return;
  }
  event->accept();
}
