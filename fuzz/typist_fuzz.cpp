#include "entries/typist_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return ks::fuzz::RunEntry(ks::fuzz::TypistEntry, data, size);
}
