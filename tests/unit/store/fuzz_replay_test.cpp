#include "entries/corpus.h"
#include "entries/store_entries.h"

namespace ks::fuzz {
namespace {

TEST(FuzzReplay, IniCorpus) { ReplayCorpus("ini", IniEntry); }
TEST(FuzzReplay, TextFileCorpus) { ReplayCorpus("textfile", TextFileEntry); }
TEST(FuzzReplay, SettingsCorpus) { ReplayCorpus("settings", SettingsEntry); }

}  // namespace
}  // namespace ks::fuzz
