// Loads and saves a maximal store (50 groups of 50 buttons, 1 KB texts) through our engine
// and through the platform's private-profile functions one key at a time, as the settings
// file was once read and written, and prints both times and their ratio. The texts file is
// the same code on both sides; the whole-store figures with it are printed for reference.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench_util.h"
#include "store/files_win.h"
#include "store/ini.h"
#include "store/textfile.h"
#include "text/codepage_win.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(const std::function<void()>& f) {
  auto t0 = Clock::now();
  f();
  return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double BestOf(int runs, const std::function<void()>& f) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) best = std::min(best, Ms(f));
  return best;
}

// One key write or read of the settings, in the order the file is written.
struct Key {
  std::string section, name, value;
};

std::vector<Key> KeysOf(const std::string& ini) {
  std::vector<Key> keys;
  std::string section;
  size_t pos = 0;
  while (pos < ini.size()) {
    size_t end = ini.find("\r\n", pos);
    std::string line = ini.substr(pos, end - pos);
    pos = end + 2;
    if (line.empty()) continue;
    if (line[0] == '[') {
      section = line.substr(1, line.size() - 2);
      continue;
    }
    size_t eq = line.find('=');
    keys.push_back(Key{section, line.substr(0, eq), line.substr(eq + 1)});
  }
  return keys;
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) &&
            put == bytes.size();
  CloseHandle(h);
  return ok;
}

}  // namespace

int main() {
  char tmp[MAX_PATH];
  GetTempPathA(MAX_PATH, tmp);
  const std::string dir = std::string(tmp) + "ks-bench-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  const std::string platformIni = dir + "\\platform.ini";
  const std::string platformDat = dir + "\\platform.dat";

  auto store = ks::bench::MaximalStore(true);
  ks::Settings settings;
  ks::SavedFiles files = ks::SaveSettings(*store, settings, std::nullopt, ks::WinAnsiCodePage());
  const std::vector<Key> keys = KeysOf(files.ini);
  std::printf("store: %d groups x %d buttons, %zu keys, settings %zu KB, texts %zu KB\n",
              ks::kMaxGroups, ks::kMaxButtons, keys.size(), files.ini.size() / 1024,
              files.dat.size() / 1024);

  bool ok = true;
  int32_t sink = 0;
  std::vector<char> buf(2048);

  // The settings file key by key: our engine against the platform's functions. Both sides
  // keep every value they read, as the store would.
  struct Kept {
    std::vector<std::string> values;
    std::vector<int32_t> numbers;
  };
  std::vector<Kept> kept;
  auto keep = [&](Kept& k, std::string_view v) {
    k.values.emplace_back(v);
    k.numbers.push_back(ks::ParseIniInt(v, 0));
  };
  const std::string oursIni = dir + "\\ours.ini";
  ks::WinFileSystem fs;
  double oursSave = BestOf(5, [&] {
    ks::IniFile ini;
    for (const Key& k : keys) ini.Set(k.section, k.name, k.value);
    ok &= fs.WriteDurable(oursIni, ini.Serialize());
  });
  double oursLoad = BestOf(5, [&] {
    ks::IniFile ini(fs.ReadAll(oursIni).bytes);
    Kept& k = kept.emplace_back();
    k.values.reserve(keys.size());
    k.numbers.reserve(keys.size());
    for (const Key& key : keys) keep(k, ini.GetString(key.section, key.name, ""));
  });
  double platformSave = Ms([&] {
    for (const Key& k : keys)
      ok &= WritePrivateProfileStringA(k.section.c_str(), k.name.c_str(), k.value.c_str(),
                                       platformIni.c_str()) != 0;
  });
  // Let the file age past the platform's cache window, as at a start long after the exit.
  Sleep(2500);
  double platformLoad = Ms([&] {
    Kept& k = kept.emplace_back();
    k.values.reserve(keys.size());
    k.numbers.reserve(keys.size());
    for (const Key& key : keys) {
      DWORD n = GetPrivateProfileStringA(key.section.c_str(), key.name.c_str(), "", buf.data(),
                                         static_cast<DWORD>(buf.size()), platformIni.c_str());
      keep(k, std::string_view(buf.data(), n));
    }
  });
  // Every value read back the same on both sides (the layouts differ: the platform rewrites
  // the file its own way).
  ok &= kept.front().values == kept.back().values && kept.front().values.size() == keys.size();

  // The whole store as the program loads and saves it: both files, through the safe save
  // (flushed), against the platform's keys plus the same text file.
  std::vector<ks::LoadOutcome> loads;
  double allSave = BestOf(5, [&] { ok &= !ks::SaveFiles(fs, dir, *store, settings, ks::WinAnsiCodePage()).has_value(); });
  double allLoad = BestOf(5, [&] { loads.push_back(ks::LoadFiles(fs, dir, ks::LoadContext{}, ks::WinAnsiCodePage())); });
  std::vector<std::vector<std::string>> texts;
  double datSave = BestOf(5, [&] { ok &= WriteWhole(platformDat, files.dat); });
  double datLoad = BestOf(5, [&] {
    ks::FileSystem::ReadResult dat = fs.ReadAll(platformDat);
    ks::TextFileReader r(dat.bytes);
    auto& t = texts.emplace_back();
    while (!r.AtEnd()) t.push_back(r.ReadLine());
  });
  for (const auto& l : loads) sink += l.loaded.store->GroupAt(ks::kMaxGroups).ButtonCount();
  for (const auto& k : kept) sink += static_cast<int32_t>(k.numbers.size());
  sink += static_cast<int32_t>(texts.size());

  const double loadRatio = platformLoad / oursLoad, saveRatio = platformSave / oursSave;
  std::printf("settings file, key by key:\n");
  std::printf("  ours      load %10.2f ms   save %10.2f ms\n", oursLoad, oursSave);
  std::printf("  platform  load %10.2f ms   save %10.2f ms\n", platformLoad, platformSave);
  std::printf("  ratio     load %10.0fx    save %10.0fx   (needed: 100x)\n", loadRatio,
              saveRatio);
  std::printf("whole store, both files (ours: the program's load and safe save):\n");
  std::printf("  ours      load %10.2f ms   save %10.2f ms\n", allLoad, allSave);
  std::printf("  platform  load %10.2f ms   save %10.2f ms\n", platformLoad + datLoad,
              platformSave + datSave);
  std::printf("  ratio     load %10.0fx    save %10.0fx\n", (platformLoad + datLoad) / allLoad,
              (platformSave + datSave) / allSave);
  std::printf("(checksum %d)\n", static_cast<int>(sink));

  for (const char* name :
       {"keystrum.ini", "keystrum.dat", "ours.ini", "platform.ini", "platform.dat"})
    DeleteFileA((dir + "\\" + name).c_str());
  RemoveDirectoryA(dir.c_str());
  if (!ok) {
    std::printf("FAIL: a write was refused, or the two sides disagree\n");
    return 2;
  }
  const bool fast = loadRatio >= 100 && saveRatio >= 100;
  std::printf("SUMMARY|settings file load: platform functions / ours|%.0fx (%.1f / %.1f ms)|>= 100x|%s\n",
              loadRatio, platformLoad, oursLoad, loadRatio >= 100 ? "ok" : "MISSED");
  std::printf("SUMMARY|settings file save: platform functions / ours|%.0fx (%.0f / %.1f ms)|>= 100x|%s\n",
              saveRatio, platformSave, oursSave, saveRatio >= 100 ? "ok" : "MISSED");
  std::printf("%s\n", fast ? "PASS" : "FAIL: less than 100 times faster");
  return fast ? 0 : 1;
}
