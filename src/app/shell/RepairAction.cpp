#include "shell/RepairAction.h"

#include <QApplication>
#include <QProgressDialog>

#include "Messages.h"
#include "store/Repair.h"

void runRepair(QWidget* parent, store::Store& store, Messages& messages) {
  // Asked before any work, so the user waits once instead of twice.
  const bool withStores =
      messages.ask(QStringLiteral("Soru dosyalarının da sıkıştırılmasını istiyor musunuz?\n"
                                  "! Bu işlem bir kaç dakika sürebilir !"),
                   QStringLiteral("Uyarı"));

  QProgressDialog progress(QStringLiteral("Veritabanı sıkıştırılıyor..."), QString(), 0, 1, parent);
  progress.setWindowTitle(QStringLiteral("Bilgileri Onar"));
  progress.setCancelButton(nullptr);  // one file's compaction cannot be interrupted
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  progress.setValue(0);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const Status status =
      store::BilgileriOnar(store, withStores, [&](const QString& file, int index, int total) {
        progress.setMaximum(total);
        progress.setLabelText(
            QStringLiteral("%1 sıkıştırılıyor (%2/%3)").arg(file).arg(index).arg(total));
        progress.setValue(index - 1);
      });
  progress.setValue(progress.maximum());
  QApplication::restoreOverrideCursor();
  progress.close();

  if (status.ok())
    messages.info(QStringLiteral("İşlem başarı ile tamamlanmıştır"));
  else
    messages.error(status.error());
}
