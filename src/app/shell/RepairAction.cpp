#include "shell/RepairAction.h"

#include <QApplication>
#include <QProgressDialog>

#include "shell/frmMesaj.h"
#include "store/Repair.h"

namespace {

bool askWithStores(QWidget* parent) {
  return frmMesaj::Mesaj(parent, QStringLiteral("Uyarı"),
                         QStringLiteral("Soru dosyalarının da sıkıştırılmasını istiyor musunuz?\n"
                                        "! Bu işlem bir kaç dakika sürebilir !"),
                         frmMesaj::Buttons::YesNo, frmMesaj::Kind::Question) == frmMesaj::Evet;
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
    frmMesaj::Mesaj(parent, QStringLiteral("Bilgi"),
                    QStringLiteral("İşlem başarı ile tamamlanmıştır"));
  else
    frmMesaj::hata(parent, status.error());
}
