#pragma once

#include <QWidget>

#include <optional>

#include "users/InstitutionOptions.h"
#include "users/UserList.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The advanced-mode window: the institution-wide options, written at each click,
// and the users with their rights, stored together with "Kaydet".
class frmGelismisMod : public QWidget {
  Q_OBJECT
 public:
  // Every right is listed.
  explicit frmGelismisMod(QWidget* parent = nullptr);
  // Only the rights asked for by the screens named in `builtScreens` (window
  // names) are listed; a user's other denied codes are kept as they are.
  explicit frmGelismisMod(const QStringList& builtScreens, QWidget* parent = nullptr);

  const users::UserList& userList() const { return m_list; }
  bool hasUnsavedChanges() const { return m_dirty; }
  int selectedRow() const;
  void selectRow(int row);

 public slots:
  void cmdYeniKayit_Click();
  void cmdSil_Click();
  bool cmdKaydet_Click();

 signals:
  // An option was written; the main window applies it at once.
  void secenekDegisti(users::Option option, bool on);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void build(const std::optional<QStringList>& builtScreens);  // nullopt: all
  QCheckBox* addOption(users::Option option, const QString& objectName, const QString& text);
  void loadUsers();
  void fillUsers(int selectRow);
  void showRow(int row);
  void userSelected();
  void rightsTicked();
  void setDirty(bool dirty);

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
