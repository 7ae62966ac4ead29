// The libFuzzer entry of one reader (DERSLIK_FUZZ_READER names it).
#include <cstddef>
#include <cstdint>

#include "FuzzReaders.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::prepare(QStringLiteral(DERSLIK_FUZZ_READER));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return fuzz::readOne(QStringLiteral(DERSLIK_FUZZ_READER), data, size);
}
