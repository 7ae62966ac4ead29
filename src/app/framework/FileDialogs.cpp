#include "framework/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTimer>

#include "store/Parameters.h"

namespace filedialogs {

namespace {

const QString kSection = QStringLiteral("Klasorler");

std::function<int(QFileDialog&)>& runner() {
  static std::function<int(QFileDialog&)> f;
  return f;
}

QString documentsFolder() {
  const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (!docs.isEmpty() && QDir(docs).exists()) return docs;
  return QDir::homePath();
}

QStringList runForFiles(QFileDialog& dialog, const QString& kind) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // The name box takes the keyboard at once, also without a window manager
  // that would give the new window the focus. The offered name is not shown
  // selected: white on blue hides the dots of "Ü", "Ö", "İ" at this size.
  QTimer::singleShot(0, &dialog, [&dialog] {
    dialog.activateWindow();
    if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
      name->setFocus(Qt::OtherFocusReason);
      name->deselect();
      name->end(false);
    }
  });
  const int result = runner() ? runner()(dialog) : dialog.exec();
  if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QStringList paths = dialog.selectedFiles();
  store::UserSettings::set(kSection, kind, QFileInfo(paths.first()).absolutePath());
  return paths;
}

QString run(QFileDialog& dialog, const QString& kind) { return runForFiles(dialog, kind).value(0); }

}  // namespace

QString startFolder(const QString& kind) {
  const QString last = store::UserSettings::get(kSection, kind);
  if (!last.isEmpty() && QDir(last).exists()) return last;
  return documentsFolder();
}

namespace {

QStringList openDialog(QWidget* parent, const QString& kind, const QString& title,
                       const QString& filter, QFileDialog::FileMode mode) {
  QFileDialog dialog(parent, title, startFolder(kind), filter);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(mode);
  return runForFiles(dialog, kind);
}

}  // namespace

QString openFile(QWidget* parent, const QString& kind, const QString& title,
                 const QString& filter) {
  return openDialog(parent, kind, title, filter, QFileDialog::ExistingFile).value(0);
}

QStringList openFiles(QWidget* parent, const QString& kind, const QString& title,
                      const QString& filter) {
  return openDialog(parent, kind, title, filter, QFileDialog::ExistingFiles);
}

QString saveFile(QWidget* parent, const QString& kind, const QString& title,
                 const QString& proposedName, const QString& filter, const QString& suffix) {
  QFileDialog dialog(parent, title, startFolder(kind), filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(suffix);
  dialog.selectFile(proposedName);
  return run(dialog, kind);
}

void setRunner(std::function<int(QFileDialog&)> f) { runner() = std::move(f); }

}  // namespace filedialogs
