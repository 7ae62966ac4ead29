#include "framework/ScreenRegistry.h"

#include "users/Rights.h"

namespace framework {

namespace {

struct Default {
  const char* windowName;
  const char* caption;  // UTF-8
  bool rightTest;
  const char* shortcut;
};

// Which screen each button opens and whether the user's right is tested first.
// The right each screen needs is in users/Rights.h.
constexpr std::array<Default, ScreenRegistry::kButtonCount> kDefaults = {{
    {"frmTanimlamalar", "Tanımlamalar", true, "Ctrl+1"},
    {"frmKumandaTanimlama", "Kumanda Tanımlama", true, "Ctrl+2"},
    {"frmSoruHazirlama", "Soru Hazırlama", true, "Ctrl+3"},
    {"frmTestHazirlama", "Test Hazırlama", true, "Ctrl+4"},
    {"frmTestUygula", "Test Uygula", true, "Ctrl+5"},
    {"frmRaporlarMenu", "Raporlar", true, "Ctrl+6"},
    {"frmSoruPaylasim", "Soru Paylaşım", true, "Ctrl+7"},
    // A lesson is a run in class like a test: the same right.
    {"frmDersUygula", "Ders Uygula", true, "Ctrl+8"},
    // Tested although the bar never tested it: without the right, anybody could
    // open the user list and give himself every right.
    {"frmGelismisMod", "Gelişmiş Mod", true, "Ctrl+9"},
    {"frmOturumAc", "Oturum Aç", false, "Ctrl+0"},
    {"frmIletisim", "İletişim", false, ""},
    {"frmOyun", "Oyun", false, ""},
    {"frmTestUygula", "Çevrimiçi Ders", true, ""},
}};

}  // namespace

ScreenRegistry::ScreenRegistry(QObject* parent) : QObject(parent) {
  for (int i = 0; i < kButtonCount; ++i) {
    const Default& d = kDefaults[static_cast<size_t>(i)];
    ScreenEntry& e = m_entries[static_cast<size_t>(i)];
    e.index = i;
    e.windowName = QString::fromLatin1(d.windowName);
    e.caption = QString::fromUtf8(d.caption);
    if (d.rightTest) e.rightKey = i == 12 ? users::kOnlineLessonKey : e.windowName;
    e.shortcut = QKeySequence(QString::fromLatin1(d.shortcut));
  }
}

void ScreenRegistry::registerScreen(int index, ScreenFactory factory) {
  if (index < 0 || index >= kButtonCount) return;
  m_entries[static_cast<size_t>(index)].factory = std::move(factory);
  emit changed();
}

void ScreenRegistry::registerScreen(const ScreenEntry& entry) {
  if (entry.index < 0 || entry.index >= kButtonCount) return;
  m_entries[static_cast<size_t>(entry.index)] = entry;
  emit changed();
}

bool ScreenRegistry::has(int index) const {
  return index >= 0 && index < kButtonCount && bool(m_entries[static_cast<size_t>(index)].factory);
}

const ScreenEntry& ScreenRegistry::entry(int index) const {
  static const ScreenEntry none;
  if (index < 0 || index >= kButtonCount) return none;
  return m_entries[static_cast<size_t>(index)];
}

QString ScreenRegistry::tooltipFor(const ScreenEntry& entry) {
  if (entry.shortcut.isEmpty()) return entry.caption;
  return QStringLiteral("%1 (%2)").arg(entry.caption,
                                       entry.shortcut.toString(QKeySequence::NativeText));
}

}  // namespace framework
