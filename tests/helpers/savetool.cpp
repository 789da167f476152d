// Performs one real save of the sample store into a folder and, when asked, ends itself
// abruptly just before the k-th step that changes the disk, as a crash or a kill would.
//
//   savetool.exe DIR old           writes the old pair (a complete save)
//   savetool.exe DIR new [K]       saves the new pair; with K, is killed before step K
//
// Exit code: the number of steps taken after a complete save, 255 when the save was
// refused, kKilled when it was cut short.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../helpers/store_samples.h"
#include "store/files_win.h"
#include "text/codepage_win.h"

namespace {
constexpr UINT kKilled = 0xDEAD;
}

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: savetool DIR old|new [STEP]\n");
    return 254;
  }
  // The folder from the wide command line: the narrow one holds only the ANSI code page.
  int n = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &n);
  if (!wide || n < 2) return 254;
  const std::string dir = ks::Utf8(wide[1]);
  LocalFree(wide);
  const bool newPair = std::strcmp(argv[2], "new") == 0;
  const int killAt = argc > 3 ? std::atoi(argv[3]) : -1;

  ks::WinFileSystem fs;
  int steps = 0;
  fs.beforeStep = [&](const char*) {
    if (steps++ == killAt) TerminateProcess(GetCurrentProcess(), kKilled);
  };
  auto store = newPair ? ks::samples::NewStore() : ks::samples::OldStore();
  ks::Settings settings = newPair ? ks::samples::NewSettings() : ks::Settings{};
  if (auto err = ks::SaveFiles(fs, dir, *store, settings, ks::WinAnsiCodePage())) {
    std::fprintf(stderr, "%s\n", err->c_str());
    return 255;
  }
  return steps;
}
