#pragma once

#include <QWidget>

#include <optional>

#include "framework/ScreenContext.h"
#include "store/Institution.h"
#include "users/UserList.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The advanced-mode window: the institution-wide options, written at each click
// (whoever needs them hears Store::institutionChanged), and the users with their
// rights, stored together with "Kaydet".
class frmGelismisMod : public QWidget {
  Q_OBJECT
 public:
  // Every right is listed.
  explicit frmGelismisMod(const ScreenContext& context, QWidget* parent = nullptr);
  // Only the rights asked for by the screens named in `builtScreens` (window
  // names) are listed; a user's other denied codes are kept as they are.
  frmGelismisMod(const ScreenContext& context, const QStringList& builtScreens,
                 QWidget* parent = nullptr);

  const users::UserList& userList() const { return m_list; }
  bool hasUnsavedChanges() const { return m_dirty; }
  int selectedRow() const;
  void selectRow(int row);

 public slots:
  void cmdYeniKayit_Click();
  void cmdSil_Click();
  bool cmdKaydet_Click();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void build(const std::optional<QStringList>& builtScreens);  // nullopt: all
  QCheckBox* addOption(store::Institution::Option option, const QString& objectName,
                       const QString& text);
  void loadUsers();
  void fillUsers(int selectRow);
  void showRow(int row);
  void userSelected();
  void rightsTicked();
  void setDirty(bool dirty);

  ScreenContext m_context;
  users::UserList m_list;
  bool m_dirty = false;
  bool m_filling = false;
  QList<QCheckBox*> m_options;
  QStringList m_listedCodes;  // rights shown in the tree
  QTreeWidget* m_lvKullanicilar = nullptr;
  QTreeWidget* m_TVIzinler = nullptr;
  QLineEdit* m_txtKullaniciAdi = nullptr;
  QLineEdit* m_txtSifre = nullptr;
  QPushButton* m_cmdYeniKayit = nullptr;
  QPushButton* m_cmdSil = nullptr;
  QPushButton* m_cmdKaydet = nullptr;
};
