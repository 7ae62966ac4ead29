#pragma once

#include <QWidget>

#include "framework/ScreenContext.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace users {
class Session;
}

// The log-in window: a user name and password give the user's rights. While a
// user is logged in it offers the log-out instead.
class frmOturumAc : public QWidget {
  Q_OBJECT
 public:
  frmOturumAc(const ScreenContext& context, users::Session* session, QWidget* parent = nullptr);

 public slots:
  void cmdKaydet_Click();
  void cmdOturumKapat_Click();

 signals:
  void oturumAcildi(const QString& userName);
  void oturumKapandi();

 private:
  void showState();
  void closeScreen();

  ScreenContext m_context;
  users::Session* m_session;
  QLabel* m_lblDurum;
  QWidget* m_loginPart;
  QLineEdit* m_txtKullaniciAdi;
  QLineEdit* m_txtSifre;
  QPushButton* m_cmdKaydet;
  QPushButton* m_cmdOturumKapat;
};
