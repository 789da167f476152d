// Types a long text into a window of another process through the typing engine, once
// with the SendInput sink (one call per item) and once with one keybd_event per key
// transition, and prints how long the injecting thread was busy and how long until the
// whole text had arrived.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "helpers/target_window.h"
#include "typing/ports_win.h"
#include "typing/typist.h"

namespace {

using Steady = std::chrono::steady_clock;

double MsSince(Steady::time_point t0) {
  return std::chrono::duration<double, std::milli>(Steady::now() - t0).count();
}

bool Eventually(const std::function<bool()>& cond, int ms) {
  const auto end = Steady::now() + std::chrono::milliseconds(ms);
  while (Steady::now() < end) {
    if (cond()) return true;
    Sleep(20);
  }
  return cond();
}

LRESULT TextLength(HWND edit) {
  DWORD_PTR len = 0;
  SendMessageTimeoutA(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &len);
  return static_cast<LRESULT>(len);
}

// The way keys were injected before: one system call per transition, as they come.
class KeybdEventSink : public ks::KeySink {
 public:
  void Key(std::uint8_t vk, std::uint16_t scan, bool up, bool extended) override {
    keybd_event(vk, static_cast<BYTE>(scan),
                (up ? KEYEVENTF_KEYUP : 0u) | (extended ? KEYEVENTF_EXTENDEDKEY : 0u), 0);
    ++sent_;
  }
  void Unicode(char16_t ch) override {
    unicode_.Unicode(ch);
    sent_ += unicode_.Flush();
  }
  std::size_t Flush() override { return std::exchange(sent_, 0); }
  void Discard() override {}

 private:
  ks::SendInputSink unicode_;
  std::size_t sent_ = 0;  // every event went out at once
};

std::string ExeFolder() {
  char buf[MAX_PATH * 2];
  const DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  std::string p(buf, n);
  return p.substr(0, p.find_last_of("\\/") + 1);
}

struct ProcessCloser {
  void operator()(HANDLE h) const {
    if (h) CloseHandle(h);
  }
};

}  // namespace

int main() {
  std::string cmd(1, '"');
  cmd.append(ExeFolder()).append("typing_target.exe").push_back('"');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    std::fprintf(stderr, "cannot start %s\n", cmd.c_str());
    return 1;
  }
  CloseHandle(pi.hThread);
  std::unique_ptr<void, ProcessCloser> process(pi.hProcess);
  WaitForInputIdle(pi.hProcess, 20000);
  HWND target = nullptr;
  if (!Eventually([&] { return (target = FindWindowA(ks::helpers::kTypingTargetClass, nullptr)) != nullptr; },
                  30000)) {
    std::fprintf(stderr, "typing_target.exe showed no window\n");
    TerminateProcess(process.get(), 1);
    return 1;
  }
  HWND edit = GetDlgItem(target, 100);

  // Mostly shifted and punctuated text: up to four events per character.
  std::string text;
  while (text.size() < 400) text += "Hello, World! @#$ ";
  const LRESULT expected = static_cast<LRESULT>(text.size());

  ks::WinKeyboardLayout layout;
  ks::WinClock clock;
  ks::PlainHandOver host;
  ks::SendInputSink batched;
  KeybdEventSink single;
  struct Mode {
    const char* name;
    ks::KeySink* sink;
  } modes[] = {{"SendInput per item", &batched}, {"keybd_event per key", &single}};

  std::printf("%-22s %12s %12s %10s\n", "sink", "inject ms", "arrived ms", "chars");
  int status = 0;
  for (const Mode& m : modes) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(target, ks::helpers::kTargetClear, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    SetForegroundWindow(target);
    if (!Eventually([&] { return GetForegroundWindow() == target; }, 5000)) {
      std::fprintf(stderr, "the target window did not come to the foreground\n");
      status = 1;
      continue;
    }
    ks::Typist typist(ks::TypingPorts{*m.sink, layout, clock, host});
    const auto t0 = Steady::now();
    typist.SendString(ks::ToWindowId(target), text);
    const double inject = MsSince(t0);
    const bool arrived = Eventually([&] { return TextLength(edit) >= expected; }, 60000);
    const double total = MsSince(t0);
    std::printf("%-22s %12.1f %12.1f %10ld%s\n", m.name, inject, total,
                static_cast<long>(TextLength(edit)), arrived ? "" : "  (incomplete)");
    if (!arrived) status = 1;
  }
  PostMessageA(target, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) TerminateProcess(process.get(), 1);
  return status;
}
