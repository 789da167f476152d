// What keystrum.exe costs while it waits: processor time over 30 s of idling after its
// start (its 50 ms foreground timer runs all the time) and resident memory, against the
// least program with a tray icon (tests/helpers/bench_minimal_tray.exe) idling beside it
// over the same 30 s. Also the sizes of keystrum.exe and keystrum.dll.
// Under Wine the figures come from Linux (/proc): the resident set there is the real
// cost of a process, and the Wine server's processor time is shown as well, since every
// timer tick of a Wine program is served by it.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench_util.h"
#include "support/harness.h"

namespace {

using namespace ks::bench;

constexpr int kIdleSeconds = 30;
constexpr double kMemoryGoal = 1.5;    // resident memory, times the minimal program's
constexpr double kCpuGoalPercent = 1;  // of one processor, while idle

double FileKb(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA a{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a)) return -1;
  return static_cast<double>((static_cast<ULONGLONG>(a.nFileSizeHigh) << 32) | a.nFileSizeLow) /
         1024;
}

struct Watched {
  const char* name;
  HANDLE process;
  std::string unixPid;
  Usage before, after;
  double CpuPercent() const {
    return (after.cpuMs - before.cpuMs) / (kIdleSeconds * 1000.0) * 100.0;
  }
};

}  // namespace

int main() {
  const bool wine = UnderWine();
  ks::e2e::Keystrum k;
  if (!k.Start()) {
    std::printf("FAIL: keystrum.exe did not start\n");
    return 1;
  }
  Child minimal = Launch("\"" + ks::e2e::ExeDir() + "bench_minimal_tray.exe\"");
  HWND minimalWindow = nullptr;
  if (!minimal || !ks::e2e::WaitFor([&] {
        return (minimalWindow = ks::e2e::FindWindowOf(minimal.pid(), "KsBenchTrayReady"));
      })) {
    std::printf("FAIL: bench_minimal_tray.exe did not start\n");
    return 1;
  }
  Sleep(2000);  // both settle: start-up work done, caches warm

  Watched watched[] = {
      {"keystrum.exe", k.process(), wine ? UnixPidOf(k.dir() + "keystrum.exe") : "", {}, {}},
      {"minimal tray program", minimal.process(),
       wine ? UnixPidOf("bench_minimal_tray.exe") : "", {}, {}},
      {"Wine server (shared)", nullptr, wine ? UnixPidOf("wineserver64") : "", {}, {}},
  };
  for (Watched& w : watched) w.before = UsageOf(w.process, w.unixPid);
  Sleep(kIdleSeconds * 1000);
  for (Watched& w : watched) w.after = UsageOf(w.process, w.unixPid);

  std::printf("idle for %d s after start (%s)\n", kIdleSeconds,
              wine ? "figures from Linux /proc" : "figures from Windows");
  std::printf("  %-24s %10s %8s %14s %14s\n", "process", "cpu ms", "cpu %", "resident KB",
              "private KB");
  int status = 0;
  for (const Watched& w : watched) {
    if (!w.process && w.unixPid.empty()) continue;
    if (!w.after.known) {
      std::printf("  %-24s (not measurable)\n", w.name);
      status = 1;
      continue;
    }
    std::printf("  %-24s %10.0f %8.2f", w.name, w.after.cpuMs - w.before.cpuMs, w.CpuPercent());
    if (w.process)
      std::printf(" %14.0f %14.0f\n", w.after.residentKb, w.after.privateKb);
    else
      std::printf("\n");
  }
  const Watched& app = watched[0];
  const Watched& base = watched[1];
  const double memRatio = app.after.residentKb / base.after.residentKb;
  const double privRatio = app.after.privateKb / base.after.privateKb;
  std::printf("  keystrum / minimal: resident %.2f, private %.2f (goal <= %.1f)\n", memRatio,
              privRatio, kMemoryGoal);

  if (!k.Exit()) std::printf("keystrum.exe did not end through its tray form\n");
  PostMessageA(minimalWindow, WM_CLOSE, 0, 0);
  minimal.WaitExit(10000);

  const std::string dir = ks::e2e::ExeDir();
  const double exeKb = FileKb(dir + "keystrum.exe"), dllKb = FileKb(dir + "keystrum.dll");
  const double minimalKb = FileKb(dir + "bench_minimal_tray.exe");
  std::printf("\nfile sizes: keystrum.exe %.0f KB, keystrum.dll %.0f KB "
              "(minimal tray program %.0f KB; all linked statically)\n",
              exeKb, dllKb, minimalKb);

  Summary("idle cpu over 30 s: keystrum",
          Format("%.2f %% (%.0f ms)", app.CpuPercent(), app.after.cpuMs - app.before.cpuMs),
          Format("<= %.0f %%", kCpuGoalPercent), app.CpuPercent() <= kCpuGoalPercent ? "ok" : "MISSED");
  Summary("idle cpu over 30 s: minimal tray program",
          Format("%.2f %% (%.0f ms)", base.CpuPercent(), base.after.cpuMs - base.before.cpuMs), "",
          "-");
  Summary("resident memory: keystrum / minimal",
          Format("%.2f (%.0f / %.0f KB)", memRatio, app.after.residentKb, base.after.residentKb),
          Format("<= %.1f", kMemoryGoal), memRatio <= kMemoryGoal ? "ok" : "MISSED");
  Summary("private memory: keystrum / minimal",
          Format("%.2f (%.0f / %.0f KB)", privRatio, app.after.privateKb, base.after.privateKb), "",
          "-");
  Summary("size of keystrum.exe", Format("%.0f KB", exeKb), "", "-");
  Summary("size of keystrum.dll", Format("%.0f KB", dllKb), "", "-");
  return status;
}
