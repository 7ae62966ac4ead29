#include "startup/StartupSequence.h"

#include "Messages.h"
#include "authoring/DemoBank.h"
#include "exchange/ImportStaging.h"
#include "school/DemoSchool.h"
#include "school/Rollover.h"
#include "school/Students.h"
#include "store/Institution.h"
#include "store/Parameters.h"
#include "store/Resources.h"
#include "store/RolloverFiles.h"
#include "store/StartupData.h"
#include "store/Store.h"
#include "users/UserList.h"

namespace startup {

StartupSequence::StartupSequence(store::Store& store, Hooks hooks)
    : m_store(store), m_hooks(std::move(hooks)) {}

void StartupSequence::say(const QString& text) const {
  if (m_hooks.progress) m_hooks.progress(text);
}

bool StartupSequence::run() {
  m_store.log(QStringLiteral("mdiform_load"));

  // Before anything is opened: a rollover still running elsewhere is waited for,
  // one a kill interrupted is finished or undone, and the data folder's shared
  // lock is taken for the whole run. Then the schema and data checks; on return
  // the main connection is open.
  m_store.log(QStringLiteral("VersiyonGecisiKontrol"));
  say(QStringLiteral("Veritabanı denetleniyor..."));
  const Result<QStringList> entered = store::enterDataFolder(m_store.root());
  if (!entered) {
    say({});
    if (m_hooks.messages)
      m_hooks.messages->error(entered.error() + QStringLiteral("\n\nVeri klasörü: ") +
                              m_store.root());
    return false;
  }
  const Result<store::CheckReport> check = m_store.open();
  say({});
  if (!check) {
    if (m_hooks.messages)
      m_hooks.messages->error(QStringLiteral("Veritabanı açılamadı:\n") + check.error() +
                              QStringLiteral("\n\nVeri klasörü: ") + m_store.root());
    return false;
  }
  // The school's own settings live in its data folder (an older installation's
  // move in once, into a folder that already is a school).
  store::UserSettings::useDataFolder(m_store.root(),
                                     !m_store.institution().code.trimmed().isEmpty());
  // Sounds and videos of a file reading killed after its commit are moved in.
  for (const QString& done : exchange::repairStagedImports(m_store)) m_store.log(done);
  // Passwords an older installation stored as typed become salted hashes.
  if (Status s = users::hashTypedPasswords(m_store); !s) m_store.log(s.error());
  if (m_hooks.demo) {
    // A first look without a class list: a school, its classes, students and remotes.
    // The demo bank goes only into the demo school, never into a real one.
    const bool emptySchool = !school::Students(m_store).any().valueOr(true);
    if (Status s = school::createDemoSchool(m_store); !s) {
      if (m_hooks.messages)
        m_hooks.messages->error(QStringLiteral("Örnek okul oluşturulamadı: ") + s.error());
    } else {
      if (Status bank = emptySchool ? authoring::createDemoBank(m_store) : Status();
          !bank && m_hooks.messages)
        m_hooks.messages->error(QStringLiteral("Örnek soru bankası oluşturulamadı: ") +
                                bank.error());
      if (m_store.institution().code.trimmed().isEmpty())
        (void)store::saveInstitution(m_store, QStringLiteral("999999"),
                                     QStringLiteral("Derslik Örnek Ortaokulu"));
    }
  }
  if (m_hooks.messages)
    for (const QString& message : entered.value() + check->messages)
      m_hooks.messages->warning(message);

  // First-run data: the terms before anything else, then the institution.
  const Result<bool> accepted = store::agreementAccepted(m_store);
  if (!accepted || !accepted.value()) {
    if (!m_hooks.showAgreement || !m_hooks.showAgreement()) return false;
    if (!store::agreementAccepted(m_store).valueOr(false)) return false;
  }
  if (Result<bool> r = store::ensureInstitutionRow(m_store); !r) m_store.log(r.error());
  if ((check->openInstitutionScreen || m_store.institution().code.trimmed().isEmpty()) &&
      m_hooks.showInstitution)
    m_hooks.showInstitution();

  // New school year: the local clock stands in for the time server.
  offerRollover();

  // Blank question and solution pictures for the question screens.
  store::KaynakCikar(m_store, QStringLiteral("YeniSoru.dce"));
  store::KaynakCikar(m_store, QStringLiteral("YeniCevap.dce"));

  // The right flags follow the advanced mode and the users.
  m_rights = users::initialRights(m_store.institution().advancedMode,
                                  users::userCount(m_store).valueOr(0));

  // Data corrections a few institutions asked for, and the relative report's grid
  // layout; both do nothing once done.
  if (Result<bool> r = store::applyInstitutionCorrections(m_store); !r) m_store.log(r.error());
  if (Status s = store::seedRelativeReportLayout(m_store); !s) m_store.log(s.error());
  // Report choices that must not survive a restart.
  for (const char* key : {"DogruYanlisCevap2", "DogruYanlisCevap3", "DogruYanlisCevap4"})
    store::UserSettings::setBool(QStringLiteral("Raporlar"), QString::fromLatin1(key), false);
  return true;
}

void StartupSequence::offerRollover() {
  // The rollover is the administrator's: with users to log in, nobody is logged in
  // yet, so it waits for the menu item.
  const users::RightFlags before = users::initialRights(m_store.institution().advancedMode,
                                                        users::userCount(m_store).valueOr(0));
  if (!before.allows(QStringLiteral("mnuSinifAtlatma"))) return;
  school::Rollover::Hooks hooks;
  hooks.messages = m_hooks.messages;
  hooks.now = m_hooks.now;
  hooks.closeScreens = m_hooks.closeScreens;
  hooks.progress = m_hooks.progress;
  hooks.askStart = m_hooks.askRolloverStart;
  const school::Rollover::Report report = school::Rollover::offer(m_store, hooks);
  say({});
  if (m_hooks.messages) school::Rollover::tell(*m_hooks.messages, report);
}

}  // namespace startup
