#include "entries/corpus.h"
#include "entries/abbrev_entry.h"

namespace ks::fuzz {
namespace {

TEST(FuzzReplay, AbbrevCorpus) { ReplayCorpus("abbrev", AbbrevEntry); }

}  // namespace
}  // namespace ks::fuzz
