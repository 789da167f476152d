// The find window: from Ctrl+Alt+Space until it is shown and ready for keys (in front, the
// keyboard focus in its edit, its thread answering), against the least program that shows
// a window of the same kind on a hot key (tests/helpers/bench_minimal_find.exe), the two
// pressed back to back in each round, with keystrum.exe on no files and on a full store;
// and keystrum.exe's resident memory once the find window has been opened once, against
// the least program with a tray icon, the yardstick of the resident-memory row (bench_idle).
#include <windows.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "bench_util.h"
#include "store/settings.h"
#include "support/harness.h"
#include "text/codepage_win.h"

namespace {

using namespace ks::bench;

// An opening takes tens of milliseconds and moves by as much from one to the next on a
// shared machine: enough rounds for a steady median.
constexpr int kRounds = 15;
constexpr double kShowGoal = 1.5;    // time to ready, times the minimal program's
constexpr double kMemoryGoal = 1.5;  // resident memory, times the minimal tray program's
constexpr const char* kMinimalClass = "KsBenchFind";

void Key(WORD vk, DWORD flags) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = flags;
  SendInput(1, &in, sizeof in);
}

bool Answers(HWND h) {
  DWORD_PTR r = 0;
  return h && SendMessageTimeoutA(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
}

// The window of class `cls` of process `pid` when it is in front, shown, with the
// keyboard focus in a control of its own; null while it is not.
HWND InFrontWithFocus(DWORD pid, const char* cls) {
  HWND fg = GetForegroundWindow();
  DWORD owner = 0;
  const DWORD thread = fg ? GetWindowThreadProcessId(fg, &owner) : 0;
  char name[64] = {};
  if (!thread || owner != pid || !IsWindowVisible(fg) || !GetClassNameA(fg, name, sizeof name) ||
      lstrcmpA(name, cls) != 0)
    return nullptr;
  GUITHREADINFO gti{};
  gti.cbSize = sizeof gti;
  if (!GetGUIThreadInfo(thread, &gti) || !gti.hwndFocus || GetParent(gti.hwndFocus) != fg)
    return nullptr;
  return fg;
}

// Presses `modifiers` and Space; the milliseconds from the Space's press until process
// `pid` has its window of class `cls` in front with the focus in it and answering, which it does once the
// opening is through; -1 when that does not come. Then the keys go up, Esc closes the
// window, and the target is back in front.
double OpenMs(DWORD pid, const char* cls, std::initializer_list<WORD> modifiers, HWND target) {
  for (WORD vk : modifiers) Key(vk, 0);
  Sleep(30);
  const LONGLONG t0 = Ticks();
  Key(VK_SPACE, 0);
  double ms = -1;
  while (MsSince(t0) < 5000) {
    if (Answers(InFrontWithFocus(pid, cls))) {
      ms = MsSince(t0);
      break;
    }
    Sleep(1);
  }
  Key(VK_SPACE, KEYEVENTF_KEYUP);
  for (auto vk = std::rbegin(modifiers); vk != std::rend(modifiers); ++vk)
    Key(*vk, KEYEVENTF_KEYUP);
  Sleep(50);
  Key(VK_ESCAPE, 0);
  Key(VK_ESCAPE, KEYEVENTF_KEYUP);
  ks::e2e::WaitFor([&] { return GetForegroundWindow() == target; }, 3000);
  Sleep(150);
  return ms;
}

double OpenKeystrum(const ks::e2e::Keystrum& k, HWND target) {
  return OpenMs(k.pid(), ks::contract::kFindClass, {VK_CONTROL, VK_MENU}, target);
}

double OpenMinimal(const Child& c, HWND target) {
  return OpenMs(c.pid(), kMinimalClass, {VK_CONTROL, VK_MENU, VK_SHIFT}, target);
}

// 50 groups of 50 buttons with texts of 1 KiB, none locked: every text is in the index.
struct Rounds {
  double first = -1;  // the first opening, which makes the window's controls
  std::vector<double> keystrum, minimal;
  bool Ok() const {
    if (first < 0 || keystrum.empty()) return false;
    for (size_t i = 0; i < keystrum.size(); ++i)
      if (keystrum[i] < 0 || minimal[i] < 0) return false;
    return true;
  }
  // Each round's own ratio, spared most of the machine's drift, as in the start-up bench.
  double Ratio() const {
    std::vector<double> r;
    for (size_t i = 0; i < keystrum.size(); ++i) r.push_back(keystrum[i] / minimal[i]);
    return Median(r);
  }
};

// After the first opening (`r.first`), the rounds.
void Measure(Rounds& r, const ks::e2e::Keystrum& k, const Child& minimal, HWND target) {
  for (int round = 0; round < kRounds; ++round) {
    r.keystrum.push_back(OpenKeystrum(k, target));
    r.minimal.push_back(OpenMinimal(minimal, target));
  }
}

void Print(const char* name, const Rounds& r) {
  std::printf("  %-26s first %7.1f ms, then median %6.1f ms (minimal program %6.1f ms), "
              "median of the rounds' ratios %.2f%s\n",
              name, r.first, Median(r.keystrum), Median(r.minimal), r.Ratio(),
              r.Ok() ? "" : "  FAIL: an opening did not get there");
}

}  // namespace

int main() {
  const bool wine = UnderWine();
  ks::e2e::TypingTarget target;
  if (!target.Start("--no-log") || !target.Focus()) {
    std::printf("FAIL: the typing target did not come to the front\n");
    return 1;
  }
  const std::string dir = ks::e2e::ExeDir();
  Child minimal = Launch("\"" + dir + "bench_minimal_find.exe\"");
  Child tray = Launch("\"" + dir + "bench_minimal_tray.exe\"");
  HWND minimalWindow = nullptr, trayWindow = nullptr;
  if (!minimal || !tray || !ks::e2e::WaitFor([&] {
        minimalWindow = ks::e2e::FindWindowOf(minimal.pid(), kMinimalClass);
        trayWindow = ks::e2e::FindWindowOf(tray.pid(), "KsBenchTrayReady");
        return minimalWindow && trayWindow;
      })) {
    std::printf("FAIL: the minimal programs did not start\n");
    return 1;
  }
  // The windows open at the pointer: it rests where they fit on the screen.
  ks::e2e::RestAt(500, 200);

  ks::e2e::Keystrum empty;
  if (!empty.Start()) {
    std::printf("FAIL: keystrum.exe did not start\n");
    return 1;
  }
  Sleep(1000);  // settled after its start
  Rounds none;
  none.first = OpenKeystrum(empty, target.main());
  Sleep(1000);
  const Usage appMem =
      UsageOf(empty.process(), wine ? UnixPidOf(empty.dir() + "keystrum.exe") : "");
  const Usage baseMem = UsageOf(tray.process(), wine ? UnixPidOf("bench_minimal_tray.exe") : "");
  Measure(none, empty, minimal, target.main());
  if (!empty.Exit()) std::printf("keystrum.exe did not end through its tray form\n");

  ks::e2e::Keystrum full;
  const ks::SavedFiles files = FullStoreFiles();
  full.WriteIni(files.ini);
  full.WriteDat(files.dat);
  if (!full.Start()) {
    std::printf("FAIL: keystrum.exe did not start on the full store\n");
    return 1;
  }
  Sleep(1000);
  Rounds store;
  store.first = OpenKeystrum(full, target.main());
  Measure(store, full, minimal, target.main());
  if (!full.Exit()) std::printf("keystrum.exe did not end through its tray form\n");
  PostMessageA(minimalWindow, WM_CLOSE, 0, 0);
  PostMessageA(trayWindow, WM_CLOSE, 0, 0);

  std::printf("\nfrom the hot key to the find window in front with the focus in its edit, "
              "%d rounds\n", kRounds);
  Print("keystrum.exe, no files", none);
  Print("keystrum.exe, full store", store);
  const double memRatio = appMem.residentKb / baseMem.residentKb;
  std::printf("memory with the find window opened once: resident %.0f / %.0f KB (%.2f), private "
              "%.0f / %.0f KB\n",
              appMem.residentKb, baseMem.residentKb, memRatio, appMem.privateKb,
              baseMem.privateKb);

  const double ratio = none.Ratio(), ratioFull = store.Ratio();
  Summary("find window shown and ready after its key, no files: keystrum / minimal",
          Format("%.2f (%.0f / %.0f ms)", ratio, Median(none.keystrum), Median(none.minimal)),
          Format("<= %.1f", kShowGoal), none.Ok() && ratio <= kShowGoal ? "ok" : "MISSED");
  // As in the start-up bench, the goal is judged on no files; the full store's figure is
  // beside it (its index of every text is made at each opening).
  Summary("find window shown and ready after its key, full store: keystrum",
          Format("%.0f ms (%.2f x minimal %.0f ms)", Median(store.keystrum), ratioFull,
                 Median(store.minimal)),
          "", "-");
  Summary("find window's first opening, no files / full store: keystrum",
          Format("%.0f / %.0f ms", none.first, store.first), "", "-");
  const bool memKnown = appMem.known && baseMem.known && baseMem.residentKb > 0;
  Summary("resident memory, find window opened once: keystrum / minimal",
          memKnown ? Format("%.2f (%.0f / %.0f KB)", memRatio, appMem.residentKb,
                            baseMem.residentKb)
                   : std::string("not measurable"),
          Format("<= %.1f", kMemoryGoal), memKnown && memRatio <= kMemoryGoal ? "ok" : "MISSED");
  return none.Ok() && store.Ok() && memKnown ? 0 : 1;
}
