#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

// One fuzz entry for every reader of files from outside: "paket" (the first
// byte picks the student, question or test file reader, the rest is the file),
// "xlsx", "ods", "xls" and "csv" (the bytes are the file). Whatever the bytes,
// a read either succeeds or gives a Turkish refusal; it never crashes, hangs or
// takes more memory than the fuzzer allows.
namespace fuzz {

inline QStringList readers() {
  return {QStringLiteral("paket"), QStringLiteral("xlsx"), QStringLiteral("ods"),
          QStringLiteral("xls"), QStringLiteral("csv")};
}

// Makes the application and the folder the reads go to, once: before the first
// input, so that making a school (a database written to disk) is not counted
// in that input's time.
void prepare(const QString& reader);
int readOne(const QString& reader, const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
