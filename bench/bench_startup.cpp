// Start-up time: from CreateProcess until keystrum.exe has its tray icon window and
// until it is ready (its bar made, the files loaded and its message loop answering),
// without files and with a full store (50 groups of 50 buttons with 1 KB texts); against
// the least program that puts an icon into the notification area
// (tests/helpers/bench_minimal_tray.exe), until its icon is in and until it answers.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench_util.h"
#include "store/settings.h"
#include "store/store.h"
#include "text/codepage_win.h"
#include "support/harness.h"

namespace {

using namespace ks::bench;

// A start of the minimal program moves between about 75 and 130 ms from one round to the
// next on a shared machine, so there are enough rounds for a steady median.
constexpr int kRounds = 9;
constexpr double kReadyGoal = 1.5;  // time to ready, times the minimal program's

// Polls every millisecond: the figures are a few hundred milliseconds long.
template <typename Cond>
double MsUntil(LONGLONG t0, Cond cond, int timeoutMs = 30000) {
  while (!cond()) {
    if (MsSince(t0) > timeoutMs) return -1;
    Sleep(1);
  }
  return MsSince(t0);
}

// The top-level window of class `cls` that process `pid` owns. One lookup by class, not a
// walk over every window with two questions each: polled every millisecond, the walk
// loaded the Wine server that the starting program needs for each window it makes, and
// slowed most the program that makes the most windows.
HWND TopOf(DWORD pid, const char* cls) {
  for (HWND h = FindWindowExA(nullptr, nullptr, cls, nullptr); h;
       h = FindWindowExA(nullptr, h, cls, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == pid) return h;
  }
  return nullptr;
}

bool Answers(HWND h) {
  DWORD_PTR r = 0;
  return h && SendMessageTimeoutA(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
}

struct Start {
  double icon = -1;   // the window that owns the icon (keystrum) / the icon in (minimal)
  double ready = -1;  // built and answering its message loop
};

// keystrum.exe from `k`'s folder: until TTrayIcon exists, then until the bar exists and
// answers, which it does from its message loop, once it has loaded the files (its controls
// come at its first showing). Ends it through its tray form afterwards.
Start StartKeystrum(ks::e2e::Keystrum& k) {
  Start s;
  const LONGLONG t0 = Ticks();
  Child c = Launch("\"" + k.dir() + "keystrum.exe\"", k.dir());
  if (!c) return s;
  s.icon = MsUntil(t0, [&] { return TopOf(c.pid(), ks::contract::kTrayIconClass) != nullptr || !c.Running(); });
  s.ready = MsUntil(t0, [&] {
    HWND bar = TopOf(c.pid(), ks::contract::kBarClass);
    return Answers(bar) || !c.Running();
  });
  if (!c.Running()) s.icon = s.ready = -1;
  if (HWND tray = TopOf(c.pid(), ks::contract::kTrayFormClass)) PostMessageA(tray, WM_CLOSE, 0, 0);
  if (!c.WaitExit(15000)) std::printf("keystrum.exe did not end through its tray form\n");
  return s;
}

Start StartMinimal() {
  Start s;
  const LONGLONG t0 = Ticks();
  Child c = Launch("\"" + ks::e2e::ExeDir() + "bench_minimal_tray.exe\"");
  if (!c) return s;
  HWND ready = nullptr;
  s.icon = MsUntil(t0, [&] {
    return (ready = TopOf(c.pid(), "KsBenchTrayReady")) != nullptr || !c.Running();
  });
  s.ready = MsUntil(t0, [&] { return Answers(ready) || !c.Running(); });
  if (!c.Running()) s.icon = s.ready = -1;
  PostMessageA(ready, WM_CLOSE, 0, 0);
  c.WaitExit(10000);
  return s;
}

struct Column {
  const char* name;
  std::vector<Start> starts;
  bool Ok() const {
    for (const Start& s : starts)
      if (s.icon < 0 || s.ready < 0) return false;
    return !starts.empty();
  }
  double Icon() const {
    std::vector<double> v;
    for (const Start& s : starts) v.push_back(s.icon);
    return Median(v);
  }
  double Ready() const {
    std::vector<double> v;
    for (const Start& s : starts) v.push_back(s.ready);
    return Median(v);
  }
};

}  // namespace

int main() {
  ks::e2e::Keystrum empty;
  ks::e2e::Keystrum full;
  const ks::SavedFiles files = FullStoreFiles();
  std::printf("full store: %zu KB settings, %zu KB texts\n", files.ini.size() / 1024,
              files.dat.size() / 1024);

  Column minimal{"minimal tray program", {}};
  Column none{"keystrum.exe, no files", {}};
  Column store{"keystrum.exe, full store", {}};
  // A first start of each warms the system's file cache; it is not counted.
  StartMinimal();
  StartKeystrum(empty);
  for (int round = 0; round < kRounds; ++round) {
    minimal.starts.push_back(StartMinimal());
    DeleteFileA(empty.IniPath().c_str());  // the exit wrote them
    DeleteFileA(empty.DatPath().c_str());
    none.starts.push_back(StartKeystrum(empty));
    full.WriteIni(files.ini);
    full.WriteDat(files.dat);
    store.starts.push_back(StartKeystrum(full));
  }

  std::printf("\nstart-up, median of %d starts, ms from CreateProcess\n", kRounds);
  std::printf("  %-28s %16s %10s\n", "program", "icon window/in", "ready");
  int status = 0;
  for (const Column* c : {&minimal, &none, &store}) {
    std::printf("  %-28s %16.1f %10.1f  %s\n", c->name, c->Icon(), c->Ready(),
                c->Ok() ? "" : "FAIL: a start did not get there");
    if (!c->Ok()) status = 1;
  }
  // Each round starts the three back to back, so a round's own ratio is spared most of the
  // machine's drift, as in the typing bench; the ratio of the medians is printed beside it.
  auto roundRatio = [&](const Column& c) {
    std::vector<double> r;
    for (size_t i = 0; i < c.starts.size() && i < minimal.starts.size(); ++i)
      r.push_back(c.starts[i].ready / minimal.starts[i].ready);
    return Median(r);
  };
  const double ratio = roundRatio(none);
  const double ratioFull = roundRatio(store);
  std::printf("  ready, keystrum / minimal, median of the rounds' ratios: %.2f without files, %.2f "
              "with the full store (ratio of the medians: %.2f and %.2f)\n",
              ratio, ratioFull, none.Ready() / minimal.Ready(), store.Ready() / minimal.Ready());
  Summary("start-up to tray icon window: keystrum", Format("%.0f ms", none.Icon()), "", "-");
  Summary("start-up to icon in: minimal tray program", Format("%.0f ms", minimal.Icon()), "", "-");
  Summary("start-up to ready, no files: keystrum / minimal",
          Format("%.2f (%.0f / %.0f ms)", ratio, none.Ready(), minimal.Ready()),
          Format("<= %.1f", kReadyGoal), ratio <= kReadyGoal ? "ok" : "MISSED");
  Summary("start-up to ready, full store: keystrum",
          Format("%.0f ms (%.2f x minimal)", store.Ready(), ratioFull), "", "-");
  return status;
}
