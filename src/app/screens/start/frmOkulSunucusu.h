#pragma once

#include <QDialog>

#include "framework/ScreenContext.h"
#include "store/ServerSettings.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// "Okul Sunucusu": the school server this board uses, the administrator's. The
// fields are the board's server settings; "Bağlantıyı Dene" says whether the
// server answers and what state Derslik's database is in there; "Bu Tahtada
// Kullan" keeps them for the next start (the data that is open stays open).
class frmOkulSunucusu : public QDialog {
  Q_OBJECT
 public:
  explicit frmOkulSunucusu(const ScreenContext& context, QWidget* parent = nullptr);

  void BaglantiyiDene();
  void BuTahtadaKullan();
  void KendiVerileriniKullan();
  void VerileriSunucuyaAktar();

  static QString nextStartMessage(bool server);

 private:
  store::ServerSettings fields() const;
  void showResult(bool good, const QString& text);
  void refreshState();
  bool save(const store::ServerSettings& settings);

  ScreenContext m_context;
  store::ServerSettings m_saved;
  QLineEdit* m_makine;
  QSpinBox* m_port;
  QLineEdit* m_veritabani;
  QLineEdit* m_kullanici;
  QLineEdit* m_sifre;
  QLabel* m_durum;
  QLabel* m_sonuc;
  QPushButton* m_kendiVerileri;
  QPushButton* m_aktar;
};
