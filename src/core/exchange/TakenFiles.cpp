#include "exchange/TakenFiles.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

#include "store/Store.h"

namespace exchange {

Result<QByteArray> TakenFiles::contentHash(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return Result<QByteArray>::failure(
        QStringLiteral("%1 okunamadı.").arg(QFileInfo(path).fileName()));
  QCryptographicHash hash(QCryptographicHash::Sha256);
  if (!hash.addData(&file))
    return Result<QByteArray>::failure(
        QStringLiteral("%1 okunamadı.").arg(QFileInfo(path).fileName()));
  return hash.result().toHex();
}

Result<std::optional<TakenFile>> TakenFiles::find(const QString& path) const {
  const Result<QByteArray> hash = contentHash(path);
  if (!hash) return std::optional<TakenFile>();
  return findHash(hash.value());
}

Result<std::optional<TakenFile>> TakenFiles::findHash(const QByteArray& hash) const {
  using R = Result<std::optional<TakenFile>>;
  Result<QSqlQuery> q = m_store.exec(
      QStringLiteral("SELECT DOSYAADI,ALINMATARIHI,ALINMASAATI FROM TABLEALINANDOSYA WHERE "
                     "DOSYAOZETI=? ORDER BY ID DESC LIMIT 1"),
      {QString::fromLatin1(hash)});
  if (!q) return R::failure(q.error());
  if (!q.value().next()) return std::optional<TakenFile>();
  return std::optional<TakenFile>(TakenFile{
      q.value().value(0).toString(), q.value().value(1).toString(), q.value().value(2).toString()});
}

Status TakenFiles::refuseTaken(const QByteArray& hash, const QString& path) const {
  const Result<std::optional<TakenFile>> found = findHash(hash);
  if (!found) return Status::failure(found.error());
  if (found.value()) return Status::failure(takenText(path, *found.value()));
  return {};
}

Status TakenFiles::remember(const QByteArray& hash, const QString& path, const QDateTime& when) {
  return m_store.run(
      QStringLiteral("INSERT INTO TABLEALINANDOSYA (DOSYAOZETI,DOSYAADI,ALINMATARIHI,ALINMASAATI) "
                     "VALUES (?,?,?,?)"),
      {QString::fromLatin1(hash), QFileInfo(path).fileName(),
       when.toString(QStringLiteral("dd.MM.yyyy")), when.toString(QStringLiteral("HH:mm:ss"))});
}

QString TakenFiles::takenText(const QString& path, const TakenFile& taken) {
  const QString name = QFileInfo(path).fileName();
  QString when = taken.date + QStringLiteral(", ") + taken.time;
  if (taken.fileName != name) when += QStringLiteral(", %1 adıyla").arg(taken.fileName);
  return QStringLiteral("%1 dosyası daha önce alınmıştı (%2).").arg(name, when);
}

QString TakenFiles::againQuestion(const QString& path, const TakenFile& taken) {
  return takenText(path, taken) +
         QStringLiteral(
             "\nYeniden alınırsa dosyadakiler ikinci kez, yeni numaralarla "
             "eklenir.\n\nYine de alınsın mı?");
}

}  // namespace exchange
