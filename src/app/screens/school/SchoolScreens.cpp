#include "screens/school/SchoolScreens.h"

#include <QDesktopServices>
#include <QDir>
#include <QPushButton>
#include <QUrl>

#include "shell/frmMesaj.h"
#include "widgets/Sliste.h"

namespace schoolui {

namespace {
std::function<bool(const QString&)>& opener() {
  static std::function<bool(const QString&)> f;
  return f;
}
}  // namespace

QPushButton* button(const QString& name, const QString& caption, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setMinimumHeight(44);
  b->setMinimumWidth(110);
  b->setAutoDefault(false);
  return b;
}

school::Ask asker(QWidget* parent) {
  return [parent](const QString& question) {
    return frmMesaj::Mesaj(parent, QStringLiteral("Soru"), question, frmMesaj::Buttons::YesNo,
                           frmMesaj::Kind::Question) == frmMesaj::Evet;
  };
}

Status fill(Sliste* grid, const school::Query& query) {
  return grid->ListeDoldurYeni(query.sql, query.params);
}

void openFile(QWidget* parent, const QString& path) {
  const bool opened =
      opener() ? opener()(path) : QDesktopServices::openUrl(QUrl::fromLocalFile(path));
  if (!opened)
    frmMesaj::Mesaj(parent, QStringLiteral("Bilgi"),
                    QStringLiteral("Dosyayı açacak bir program bulunamadı.\nSonuç dosyası: ") +
                        QDir::toNativeSeparators(path));
}

void setFileOpener(std::function<bool(const QString&)> f) { opener() = std::move(f); }

bool check(QWidget* parent, const Status& status) {
  if (status.ok()) return true;
  frmMesaj::hata(parent, status.error());
  return false;
}

}  // namespace schoolui
