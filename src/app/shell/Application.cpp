#include "shell/Application.h"

#include <QApplication>
#include <QIcon>

#include "QtTranslations.h"

namespace shell {

void setUpApplication(QApplication& app) {
  QApplication::setApplicationName(QStringLiteral("derslik"));
  QApplication::setOrganizationName(QStringLiteral("derslik"));
  QApplication::setDesktopFileName(QStringLiteral("derslik"));
  QApplication::setWindowIcon(
      QIcon::fromTheme(QStringLiteral("derslik"), QIcon(QStringLiteral(":/app/derslik.svg"))));
  derslik::loadQtTranslations(app);
}

}  // namespace shell
