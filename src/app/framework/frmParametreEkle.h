#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

#include <functional>

#include "ScreenContext.h"

class QComboBox;
class TanimEkle;

// Edits one value list of TABLEPARAMETRE (levels, courses, classes, groups,
// sections ...) through its definition editor TanimEkle1. For levels and courses
// only the offered values (marker empty) are listed and edited.
//
//   frmParametreEkle w(context, QStringLiteral("DERS"), QStringLiteral("Dersler"), this);
//   w.setGelenKontrol(cmbDers, [&](QComboBox* c) { filtre::DersDoldur(c, store); });
//   w.exec();
class frmParametreEkle : public QDialog {
  Q_OBJECT
 public:
  frmParametreEkle(const ScreenContext& context, const QString& parametreAdi,
                   const QString& aciklama, QWidget* parent = nullptr);

  // The host's list that opened the window and how to fill it: on close it is
  // refilled and keeps the entry the user had chosen.
  void setGelenKontrol(QComboBox* combo, std::function<void(QComboBox*)> fill);
  TanimEkle* tanimEkle() const { return m_editor; }
  QString parametreAdi() const { return m_parametreAdi; }

 signals:
  // Emitted when the window closes after any change of the list.
  void parametrelerDegisti(const QString& parametreAdi);

 protected:
  void done(int result) override;

 private:
  QString m_parametreAdi;
  TanimEkle* m_editor = nullptr;
  QPointer<QComboBox> m_host;
  std::function<void(QComboBox*)> m_fill;
  bool m_changed = false;
};
