#pragma once
// What the benchmarks share: the performance counter, medians, child processes, and the
// summary lines that scripts/bench.sh gathers into one table at the end of a run.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "store/settings.h"
#include "store/store.h"
#include "text/codepage_win.h"

namespace ks::bench {

inline LONGLONG Ticks() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

inline double TicksToMs(LONGLONG ticks) {
  static const double perMs = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1000.0;
  }();
  return static_cast<double>(ticks) / perMs;
}

inline double MsSince(LONGLONG t0) { return TicksToMs(Ticks() - t0); }

// The middle value; of an even count the lower of the two middle ones.
inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[(v.size() - 1) / 2];
}

// One row of the summary table: "SUMMARY|what|value|goal|verdict". The verdict is
// "ok", "MISSED" or "-" when the figure has no goal.
inline void Summary(const std::string& what, const std::string& value, const std::string& goal,
                    const char* verdict) {
  std::printf("SUMMARY|%s|%s|%s|%s\n", what.c_str(), value.c_str(), goal.c_str(), verdict);
  std::fflush(stdout);
}

inline std::string Format(const char* fmt, ...) {
  char buf[256];
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, args);
  va_end(args);
  return buf;
}

struct HandleCloser {
  void operator()(HANDLE h) const {
    if (h) CloseHandle(h);
  }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// A child process that is ended when it goes out of scope, if it has not ended itself.
class Child {
 public:
  Child() = default;
  Child(HANDLE process, DWORD pid) : process_(process), pid_(pid) {}
  Child(Child&&) = default;
  Child& operator=(Child&& other) {
    Kill();
    process_ = std::move(other.process_);
    pid_ = other.pid_;
    return *this;
  }
  ~Child() { Kill(); }

  explicit operator bool() const { return process_ != nullptr; }
  HANDLE process() const { return process_.get(); }
  DWORD pid() const { return pid_; }
  bool Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
  bool WaitExit(DWORD ms) const {
    return process_ && WaitForSingleObject(process_.get(), ms) == WAIT_OBJECT_0;
  }
  void Kill() {
    if (!Running()) return;
    TerminateProcess(process_.get(), 9);
    WaitForSingleObject(process_.get(), 10000);
  }

 private:
  UniqueHandle process_;
  DWORD pid_ = 0;
};

// Starts `commandLine` in `dir` (the caller's folder when empty).
inline Child Launch(std::string commandLine, const std::string& dir = {}) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      dir.empty() ? nullptr : dir.c_str(), &si, &pi))
    return {};
  CloseHandle(pi.hThread);
  return Child(pi.hProcess, pi.dwProcessId);
}

// ---- what the host system says of a process ----
// Under Wine, GetProcessTimes of another process answers with the caller's own times,
// so the processor time of a child is read where Linux keeps it: /proc, reachable
// through Wine's Z: drive. The Linux process is found by its command line, which Wine
// sets to the Windows one.

inline bool UnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

inline std::string ReadProcFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

// The Linux process id of the Wine process of this prefix whose program (the first word
// of its command line) ends with `program`, case aside; "" when there is none. Other
// prefixes on the same machine run programs of the same names with the same ids.
inline std::string UnixPidOf(const std::string& program) {
  char prefix[1024] = {};
  GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
  const std::string mark = std::string("WINEPREFIX=") + prefix + '\0';
  auto endsWith = [](const std::string& s, const std::string& end) {
    return s.size() >= end.size() && lstrcmpiA(s.c_str() + s.size() - end.size(), end.c_str()) == 0;
  };
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA("Z:\\proc\\*", &fd);
  if (find == INVALID_HANDLE_VALUE) return {};
  std::string found;
  do {
    const std::string name = fd.cFileName;
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string dir = "Z:\\proc\\" + name + "\\";
    const std::string cmd = ReadProcFile(dir + "cmdline");
    if (!endsWith(cmd.substr(0, cmd.find('\0')), program)) continue;
    if (ReadProcFile(dir + "environ").find(mark) == std::string::npos) continue;
    found = name;
    break;
  } while (FindNextFileA(find, &fd));
  FindClose(find);
  return found;
}

struct Usage {
  bool known = false;
  double cpuMs = 0;        // user + kernel time so far
  double residentKb = 0;   // resident set (Linux) or working set (Windows)
  double privateKb = 0;    // anonymous resident memory (Linux) or private bytes (Windows)
};

// What a process has used so far. `unixPid` is the Linux process under Wine ("" for the
// Windows answers, which are right on Windows itself).
inline Usage UsageOf(HANDLE process, const std::string& unixPid) {
  Usage u;
  if (!unixPid.empty()) {
    const std::string stat = ReadProcFile("Z:\\proc\\" + unixPid + "\\stat");
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) return u;
    // After the command's closing parenthesis: state is field 3, utime 14, stime 15.
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    double utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
      if (i == 14) utime = std::atof(field.c_str());
      if (i == 15) stime = std::atof(field.c_str());
    }
    u.cpuMs = (utime + stime) * 10.0;  // USER_HZ is 100 on Linux
    const std::string status = ReadProcFile("Z:\\proc\\" + unixPid + "\\status");
    auto kb = [&](const char* key) {
      const size_t at = status.find(key);
      return at == std::string::npos ? 0.0 : std::atof(status.c_str() + at + std::strlen(key));
    };
    u.residentKb = kb("VmRSS:");
    u.privateKb = kb("RssAnon:");
    u.known = true;
    return u;
  }
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return u;
  auto ms = [](FILETIME f) {
    return static_cast<double>((static_cast<ULONGLONG>(f.dwHighDateTime) << 32) |
                               f.dwLowDateTime) / 1e4;
  };
  u.cpuMs = ms(kernel) + ms(user);
  PROCESS_MEMORY_COUNTERS_EX mem{};
  mem.cb = sizeof mem;
  if (K32GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&mem),
                              sizeof mem)) {
    u.residentKb = static_cast<double>(mem.WorkingSetSize) / 1024;
    u.privateKb = static_cast<double>(mem.PrivateUsage) / 1024;
  }
  u.known = true;
  return u;
}

// What the threads of a Linux process have done so far: processor time and context
// switches, summed over every thread (/proc/PID/task/*/). A thread that has ended takes
// its counts with it, so the figures are of the threads alive at both readings.
struct Activity {
  bool known = false;
  int threads = 0;
  double cpuMs = 0;          // time on a processor, from schedstat (nanoseconds)
  long long switches = 0;    // voluntary + involuntary: each one a wake-up or a preemption
};

inline Activity ActivityOf(const std::string& unixPid) {
  Activity a;
  if (unixPid.empty()) return a;
  const std::string taskDir = "Z:\\proc\\" + unixPid + "\\task\\";
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((taskDir + "*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return a;
  do {
    const std::string tid = fd.cFileName;
    if (tid.empty() || tid.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string status = ReadProcFile(taskDir + tid + "\\status");
    if (status.empty()) continue;  // ended between the listing and the reading
    for (const char* key : {"voluntary_ctxt_switches:", "nonvoluntary_ctxt_switches:"}) {
      // "nonvoluntary_..." contains "voluntary_...": find each at the start of a line.
      const size_t at = status.find(std::string("\n") + key);
      if (at != std::string::npos) a.switches += std::atoll(status.c_str() + at + 1 + std::strlen(key));
    }
    a.cpuMs += std::atof(ReadProcFile(taskDir + tid + "\\schedstat").c_str()) / 1e6;
    ++a.threads;
  } while (FindNextFileA(find, &fd));
  FindClose(find);
  a.known = a.threads > 0;
  return a;
}

// The largest store there can be: 50 groups of 50 buttons, each with a text of 1 KiB. With
// `everyField` every seventh group has a password and the buttons colours and shortcut
// keys; without, those stay empty.
inline std::unique_ptr<Store> MaximalStore(bool everyField) {
  auto s = std::make_unique<Store>();
  s->Groups.resize(kMaxGroups);
  s->ActiveGroup = 1;
  for (int g = 1; g <= kMaxGroups; ++g) {
    s->GroupAt(g).Name = "Group number " + std::to_string(g);
    s->GroupAt(g).Buttons.resize(kMaxButtons);
    s->GroupAt(g).Columns = 5;
    if (everyField) s->GroupAt(g).Password = g % 7 == 0 ? "secret" : "";
    for (int i = 1; i <= kMaxButtons; ++i) {
      std::string text(1024 - 7, static_cast<char>('a' + (g + i) % 26));
      text += "{enter}";
      s->ButtonAt(g, i) = Button{"Btn " + std::to_string(g) + "." + std::to_string(i),
                                 "A hint for button " + std::to_string(i), text,
                                 everyField ? -2147483640 + i : 0, everyField ? i % 27 : 0};
    }
  }
  return s;
}

// The files of the largest store, none of it locked, with the bar in a fixed place: the
// start-up and the find window's benches load it.
inline SavedFiles FullStoreFiles() {
  auto s = MaximalStore(false);
  Settings settings;
  settings.Bar.X = 620;
  settings.Bar.Y = 100;
  return SaveSettings(*s, settings, std::nullopt, WinAnsiCodePage());
}

}  // namespace ks::bench
