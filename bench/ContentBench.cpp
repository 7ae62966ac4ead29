#include <QByteArray>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

#include "Bench.h"
#include "store/ContentStores.h"
#include "store/DataFolder.h"
#include "store/Database.h"
#include "store/Schema.h"

namespace bench {

namespace {

constexpr int kQuestions = 10'000;
constexpr int kPictureBytes = 100 * 1024;
constexpr int kRepeats = 3;

QByteArray picture() {
  QByteArray bytes(kPictureBytes, Qt::Uninitialized);
  QRandomGenerator gen(42);
  for (int i = 0; i < bytes.size(); ++i) bytes[i] = char(gen.bounded(256));
  return bytes;
}

// A fresh data folder with an empty main database and store 2.
std::unique_ptr<QTemporaryDir> freshFolder() {
  store::BaglantiKapat();
  auto dir = std::make_unique<QTemporaryDir>();
  store::DataFolder::setRoot(dir->path());
  if (!store::VeritabaniKontrol()) std::fprintf(stderr, "content bench: database not made\n");
  return dir;
}

// Each picture is saved as its own user action (one transaction), as the question
// screen saves them.
void writeAll(const QByteArray& bytes) {
  for (int i = 1; i <= kQuestions; ++i) {
    if (!store::ContentStores::write(store::StoreKind::Question, QString::number(i), bytes,
                                     QByteArray()))
      std::fprintf(stderr, "content bench: write %d failed\n", i);
  }
}

}  // namespace

void contentBenchmarks() {
  const bool write = selected(QStringLiteral("store.content_write_10k"));
  const bool read = selected(QStringLiteral("store.content_read_10k"));
  if (!write && !read) return;
  const QByteArray bytes = picture();
  std::unique_ptr<QTemporaryDir> dir;

  measure(
      QStringLiteral("store.content_write_10k"), kQuestions, kRepeats, [&] { writeAll(bytes); },
      [&] {
        dir.reset();
        dir = freshFolder();
      });

  if (read) {
    dir.reset();
    dir = freshFolder();
    writeAll(bytes);
    measure(QStringLiteral("store.content_read_10k"), kQuestions, kRepeats, [&] {
      qint64 total = 0;
      for (int i = 1; i <= kQuestions; ++i) {
        Result<store::StoreContent> c =
            store::ContentStores::read(store::StoreKind::Question, QString::number(i));
        if (c) total += c->first.size();
      }
      if (total != qint64(kQuestions) * kPictureBytes)
        std::fprintf(stderr, "content bench: short read\n");
    });
  }
  store::BaglantiKapat();
  dir.reset();
}

}  // namespace bench
