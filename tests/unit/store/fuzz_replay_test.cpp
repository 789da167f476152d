#include "entries/corpus.h"
#include "entries/store_entries.h"

namespace ks::fuzz {
namespace {

TEST(FuzzReplay, IniCorpus) { ReplayCorpus("ini", IniEntry); }
TEST(FuzzReplay, TextFileCorpus) { ReplayCorpus("textfile", TextFileEntry); }
TEST(FuzzReplay, SettingsCorpus) { ReplayCorpus("settings", SettingsEntry); }
TEST(FuzzReplay, EncodingCorpus) { ReplayCorpus("encoding", EncodingEntry); }

}  // namespace
}  // namespace ks::fuzz
