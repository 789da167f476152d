#pragma once
// What the benchmarks share: the performance counter, medians, child processes, and the
// summary lines that scripts/bench.sh gathers into one table at the end of a run.
#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

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

}  // namespace ks::bench
