#pragma once

#include <QWidget>

#include <functional>

#include "Result.h"
#include "framework/ScreenContext.h"
#include "school/RemoteRegistration.h"
#include "store/Store.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class Sliste;

// Remotes and their pairing with students: the teacher and student remote grids,
// the students paired with the picked remote and those still free for it, pairing
// by hand or automatically, the registration panel and the exports.
//
// Integration: registration() is the screen's press consumer; the area attaches it
// to the press routing and connects its registrationModeRequested to the
// receiver's WriteSomeData (schoolui::registerSchoolScreens). The lists follow the
// store's changes of remotes, pairings and students.
class frmKumandaTanimlama : public QWidget {
  Q_OBJECT
 public:
  explicit frmKumandaTanimlama(const ScreenContext& context, QWidget* parent = nullptr);
  ~frmKumandaTanimlama() override;

  // Whether a receiver (or the simulation) is attached; the registration panel
  // tells how to attach one while none is.
  void setReceiverPresent(bool present);

  // The panel's tag as the routing tests it ("YeniKumanda", "YeniAlici" or empty).
  QString frameKumandaTag() const;
  bool kayitPaneliAcik() const { return m_registration.isOpen(); }
  school::RemoteRegistration& registration() { return m_registration; }

  // Grids and lists, for the screen's callers and tests.
  Sliste* kumandalar() const { return m_kumandalar; }
  Sliste* ogretmenKumandalari() const { return m_ogretmen; }
  Sliste* eslesme() const { return m_eslesme; }
  Sliste* ogrenciler() const { return m_ogrenciler; }
  QComboBox* sinifListesi() const { return m_cmbSinifi; }
  // The filter "Kumandası olmayanlar" of the student grid.
  QCheckBox* kumandasizlar() const { return m_chkKumandasiz; }
  QLabel* aliciUyarisi() const { return m_lblAliciYok; }
  QLabel* sayiBasligi() const { return m_lblSayi; }
  QListWidget* kumandaListesi() const { return m_lvKumanda; }
  QString seciliKumanda() const { return m_address; }

  // Actions of the buttons (also callable with a chosen file name).
  void listeleriYenile();
  void sinifSec(const QString& sinifi);
  void kumandaSec(const QString& address);
  void ekle();
  void cikart();
  void otomatikEslestir();
  void sil();
  void yeniKayit();
  void yeniAlici();
  Status bitir();
  Status eslesmeListesiYaz(const QString& path);
  Status etiketYaz(const QString& path);
  Status topluEtiketYaz(const QStringList& classes, const QString& path);
  Status kumandaEtiketiYaz(const QString& path);

  // True while the panel captures new remotes.
  bool capturingNewRemotes() const;

 public slots:
  // A remote heard during registration (what a routed press does).
  void yeniKumandaYakalandi(const QString& address);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void dataChanged(store::Changes what);
  void remoteSelectionChanged(Sliste* grid);
  void refreshStudents();
  void refreshPanel();
  void panelItemChanged(QListWidgetItem* item);
  void exportTo(const QString& suggestedName, const std::function<Status(const QString&)>& write);
  void afterExport(const Status& status, const QString& path);
  void chooseClassesForLabels();
  QString sinifi() const;

  ScreenContext m_context;
  school::RemoteRegistration m_registration;
  QString m_address;
  bool m_refreshing = false;

  QComboBox* m_cmbSinifi = nullptr;
  QCheckBox* m_chkKumandasiz = nullptr;
  QGroupBox* m_gOgrenciler = nullptr;
  QLabel* m_lblAliciYok = nullptr;
  QLabel* m_lblSayi = nullptr;
  Sliste* m_ogretmen = nullptr;
  Sliste* m_kumandalar = nullptr;
  Sliste* m_eslesme = nullptr;
  Sliste* m_ogrenciler = nullptr;
  QLabel* m_lblKumandaNo = nullptr;
  QFrame* m_frameKumanda = nullptr;
  QListWidget* m_lvKumanda = nullptr;
  QLabel* m_lblOgretmenKumandasi = nullptr;
  QLabel* m_lblKumandaEtiketiYazdir = nullptr;
  QPushButton* m_cmdYeniKayit = nullptr;
  QPushButton* m_cmdYeniAlici = nullptr;
};
