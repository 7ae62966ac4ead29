#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QFileDialog;
class QWidget;

// The file dialogs of every screen: Qt's own dialog (so its texts follow the
// program's Turkish translation), opened in the folder last used for the same
// kind of file, or in the user's documents folder the first time. The folder is
// remembered per kind (user settings, section "Klasorler").
namespace filedialogs {

// `kind` names the sort of file ("OgrenciListesi", "Fotograf", "Excel", ...).
QString openFile(QWidget* parent, const QString& kind, const QString& title, const QString& filter);
// Several files may be chosen; empty when cancelled.
QStringList openFiles(QWidget* parent, const QString& kind, const QString& title,
                      const QString& filter);
// `proposedName` is the file name offered (Turkish letters kept); `suffix`
// ("xlsx") is added when the typed name has none.
QString saveFile(QWidget* parent, const QString& kind, const QString& title,
                 const QString& proposedName, const QString& filter, const QString& suffix);

// The folder a dialog of that kind opens in.
QString startFolder(const QString& kind);

// Tests look at the dialog and answer it instead of showing it: the runner gets
// the prepared dialog and returns what exec() would (QDialog::Accepted after
// selecting a file). An empty function restores exec().
void setRunner(std::function<int(QFileDialog&)> runner);

}  // namespace filedialogs
