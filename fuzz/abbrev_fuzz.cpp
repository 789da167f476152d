#include "entries/abbrev_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return ks::fuzz::RunEntry(ks::fuzz::AbbrevEntry, data, size);
}
