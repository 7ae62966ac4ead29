#include "framework/ScreenHelpers.h"

#include <QDesktopServices>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "Messages.h"
#include "users/Rights.h"
#include "users/Session.h"

namespace framework {

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

QGroupBox* group(const QString& title, QWidget* content, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  auto* l = new QVBoxLayout(box);
  l->setContentsMargins(6, 6, 6, 6);
  l->addWidget(content);
  return box;
}

void openFile(Messages& messages, const QString& path) {
  const bool opened =
      opener() ? opener()(path) : QDesktopServices::openUrl(QUrl::fromLocalFile(path));
  if (!opened)
    messages.info(QStringLiteral("Sonuç dosyası: %1").arg(QDir::toNativeSeparators(path)));
}

void setFileOpener(std::function<bool(const QString&)> f) { opener() = std::move(f); }

bool check(Messages& messages, const Status& status) {
  if (status.ok()) return true;
  messages.error(status.error());
  return false;
}

bool allowed(const ScreenContext& context, const QString& rightKey) {
  if (context.session.allows(rightKey)) return true;
  context.messages.warning(users::kDeniedMessage);
  return false;
}

}  // namespace framework
