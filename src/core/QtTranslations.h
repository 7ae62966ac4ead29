#pragma once

class QCoreApplication;

namespace derslik {

// Loads Qt's own Turkish texts (qtbase_tr.qm from Qt's translations folder): the
// buttons, file dialogs and messages Qt shows or writes itself. Both programs
// call it at start; false when the catalogue is not installed (package
// qt6-translations-l10n), in which case Qt speaks English.
bool loadQtTranslations(QCoreApplication& app);

}  // namespace derslik
