#include "entries/corpus.h"
#include "entries/typist_entry.h"

namespace ks::fuzz {
namespace {

TEST(FuzzReplay, TypistCorpus) { ReplayCorpus("typist", TypistEntry); }

}  // namespace
}  // namespace ks::fuzz
