#include "shell/Application.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

#include "QtTranslations.h"
#include "framework/ScreenHelp.h"
#include "framework/TouchSupport.h"

namespace shell {

void setUpApplication(QApplication& app) {
  QApplication::setApplicationName(QStringLiteral("derslik"));
  QApplication::setOrganizationName(QStringLiteral("derslik"));
  QApplication::setDesktopFileName(QStringLiteral("derslik"));
  QApplication::setWindowIcon(
      QIcon::fromTheme(QStringLiteral("derslik"), QIcon(QStringLiteral(":/app/derslik.svg"))));
  derslik::loadQtTranslations(app);
  // "?" on every screen and F1 everywhere.
  framework::ScreenHelp::install(app);
  // Turkish capitals carry their marks above the capital height (Ü, Ö, İ) and
  // below the line (Ş, Ç). With the light hinting a desktop without settings of
  // its own gives, those marks fall between pixel rows and fade to a pale grey
  // that reads "TUMU", "Ornek", "Bos" from a classroom's back row: full hinting
  // puts them on whole pixels.
  QFont font = QApplication::font();
  font.setHintingPreference(QFont::PreferFullHinting);
  QApplication::setFont(font);
  framework::TouchSupport::install(app);
}

}  // namespace shell
