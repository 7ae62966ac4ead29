// Runs the fuzz entry over every file of the given folders (the seed corpus the
// exchange tests write, and any input a fuzz run once found): a normal test, so
// each of them stays harmless without a fuzzing build.
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  int files = 0;
  for (int i = 1; i < argc; ++i) {
    const QDir dir(QString::fromLocal8Bit(argv[i]));
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
      QFile f(dir.filePath(name));
      if (!f.open(QIODevice::ReadOnly)) return 1;
      const QByteArray data = f.readAll();
      LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(data.constData()),
                             static_cast<size_t>(data.size()));
      ++files;
    }
  }
  std::printf("%d dosya denendi\n", files);
  return files > 0 ? 0 : 1;
}
