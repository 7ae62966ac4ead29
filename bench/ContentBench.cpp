#include <QByteArray>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

#include "Bench.h"
#include "store/ContentStores.h"
#include "store/Store.h"

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
struct Folder {
  QTemporaryDir dir;
  store::Store store{dir.path()};
  Folder() {
    if (!store.open()) std::fprintf(stderr, "content bench: database not made\n");
  }
};

// Each picture is saved as its own user action (one transaction), as the question
// screen saves them.
void writeAll(store::Store& store, const QByteArray& bytes) {
  for (int i = 1; i <= kQuestions; ++i) {
    if (!store.contents().write(store::StoreKind::Question, QString::number(i), bytes,
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
  std::unique_ptr<Folder> folder;

  measure(
      QStringLiteral("store.content_write_10k"), kQuestions, kRepeats,
      [&] { writeAll(folder->store, bytes); },
      [&] {
        folder.reset();
        folder = std::make_unique<Folder>();
      });

  if (read) {
    folder.reset();
    folder = std::make_unique<Folder>();
    writeAll(folder->store, bytes);
    measure(QStringLiteral("store.content_read_10k"), kQuestions, kRepeats, [&] {
      qint64 total = 0;
      for (int i = 1; i <= kQuestions; ++i) {
        Result<store::StoreContent> c =
            folder->store.contents().read(store::StoreKind::Question, QString::number(i));
        if (c) total += c->first.size();
      }
      if (total != qint64(kQuestions) * kPictureBytes)
        std::fprintf(stderr, "content bench: short read\n");
    });
  }
  folder.reset();
}

}  // namespace bench
