#include "shell/RepairAction.h"

#include <QApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>

#include "store/Repair.h"

namespace {

void showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                 const QString& text) {
  QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
  box.addButton(QStringLiteral("Tamam"), QMessageBox::AcceptRole);
  box.exec();
}

bool askWithStores(QWidget* parent) {
  QMessageBox ask(QMessageBox::Question, QStringLiteral("Uyarı"),
                  QStringLiteral("Soru dosyalarının da sıkıştırılmasını istiyor musunuz?\n"
                                 "! Bu işlem bir kaç dakika sürebilir !"),
                  QMessageBox::NoButton, parent);
  QPushButton* yes = ask.addButton(QStringLiteral("Evet"), QMessageBox::YesRole);
  QPushButton* no = ask.addButton(QStringLiteral("Hayır"), QMessageBox::NoRole);
  ask.setDefaultButton(no);
  ask.setEscapeButton(no);
  ask.exec();
  return ask.clickedButton() == yes;
}

}  // namespace

void runRepair(QWidget* parent) {
  // Asked before any work, so the user waits once instead of twice.
  const bool withStores = askWithStores(parent);

  QProgressDialog progress(QStringLiteral("Veritabanı sıkıştırılıyor..."), QString(), 0, 1, parent);
  progress.setWindowTitle(QStringLiteral("Bilgileri Onar"));
  progress.setCancelButton(nullptr);  // one file's compaction cannot be interrupted
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  progress.setValue(0);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const Status status =
      store::BilgileriOnar(withStores, [&](const QString& file, int index, int total) {
        progress.setMaximum(total);
        progress.setLabelText(
            QStringLiteral("%1 sıkıştırılıyor (%2/%3)").arg(file).arg(index).arg(total));
        progress.setValue(index - 1);
      });
  progress.setValue(progress.maximum());
  QApplication::restoreOverrideCursor();
  progress.close();

  if (status.ok())
    showMessage(parent, QMessageBox::Information, QStringLiteral("Bilgi"),
                QStringLiteral("İşlem başarı ile tamamlanmıştır"));
  else
    showMessage(parent, QMessageBox::Critical, QStringLiteral("Hata"), status.error());
}
