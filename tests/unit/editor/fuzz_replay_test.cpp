#include "entries/corpus.h"
#include "entries/memo_entry.h"

namespace ks::fuzz {
namespace {

TEST(FuzzReplay, MemoCorpus) { ReplayCorpus("memo", MemoEntry); }

}  // namespace
}  // namespace ks::fuzz
