// Time for a button's text to land: from the left mouse button going down on a button of
// the real keystrum.exe until the last character is in the target window, against the
// same key events handed to the system in one SendInput call by this process. Between
// the two, the same typing engine driven from this process, sending and pumping as the
// bar does but without the bar, tells the bar's own share from the engine's.
// Two targets: a multi-line EDIT, as an editor, and a window that only keeps its
// WM_CHARs, which shows the pure injection rate. Every run is checked character for
// character. A text in Greek, which a US keyboard has no keys for, goes out as Unicode
// input and is measured against one SendInput batch of its characters as Unicode events.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench_util.h"
#include "support/harness.h"
#include "contract.h"
#include "text/codepage_win.h"
#include "helpers/target_window.h"
#include "typing/ports_win.h"
#include "typing/typist.h"

namespace {

using namespace ks::bench;
using ks::e2e::WaitFor;

constexpr int kChars = 1000;
// Rounds per target. A landing in the counter takes a tenth of one in the EDIT and moves
// by a third from one to the next on a shared machine, so the counter gets more rounds
// for the same time and a median that holds to a few per cent.
constexpr int kEditRuns = 7;
constexpr int kCounterRuns = 15;
// Into the EDIT and the counter at most 5 % over one batch; the Greek rows keep their own.
constexpr double kGoal = 1.05;
constexpr double kGreekGoal = 1.10;

using ks::helpers::kTargetClear;
using ks::helpers::kTargetCount;
using ks::helpers::kTargetFirstTime;
using ks::helpers::kTargetLastTime;

// Plain text as people type it: letters, capitals, digits, punctuation and blanks, so
// that a character takes two key events or, with Shift, four.
std::string BenchText() {
  const std::string sentence =
      "Dear Ms. Smith, thank you for order #4711 (3 items) - shipped today; "
      "questions? Call +1 555-0100 & ask for \"Jo\". Best: 100% happy! ";
  std::string text;
  while (static_cast<int>(text.size()) < kChars) text += sentence;
  text.resize(kChars);
  return text;
}

// The same length in Greek, with the digits, blanks and punctuation of everyday writing.
std::string GreekText() {
  const std::string sentence =
      "Αγαπητή κυρία Σμίθ, ευχαριστούμε για την παραγγελία #4711 (3 τεμάχια) - "
      "στάλθηκε σήμερα. ";
  const std::wstring wide = ks::Wide(sentence);
  std::wstring text;
  while (static_cast<int>(text.size()) < kChars) text += wide;
  text.resize(kChars);
  return ks::Utf8(text);
}

// A text's characters as one batch of Unicode events, each a press and a release.
std::vector<INPUT> UnicodeBatch(const std::wstring& text) {
  std::vector<INPUT> events;
  for (wchar_t c : text) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wScan = static_cast<WORD>(c);
    in.ki.dwFlags = KEYEVENTF_UNICODE;
    events.push_back(in);
    in.ki.dwFlags |= KEYEVENTF_KEYUP;
    events.push_back(in);
  }
  return events;
}

// What a wide control holds, read from another process.
std::wstring WideTextOf(HWND h) {
  std::wstring s(static_cast<size_t>(SendMessageW(h, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  const LRESULT n = SendMessageW(h, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()));
  s.resize(static_cast<size_t>(n > 0 ? n : 0));
  return s;
}

// The key events of a text exactly as the typing engine makes them, kept for one call.
class CollectingSink : public ks::KeySink {
 public:
  void Key(std::uint8_t vk, std::uint16_t scan, bool keyUp, bool extended) override {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = scan;
    in.ki.dwFlags = (keyUp ? KEYEVENTF_KEYUP : 0u) | (extended ? KEYEVENTF_EXTENDEDKEY : 0u);
    in.ki.dwExtraInfo = ks::contract::kInjectTag;
    events.push_back(in);
  }
  void Unicode(char16_t ch) override {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wScan = static_cast<WORD>(ch);
    in.ki.dwFlags = KEYEVENTF_UNICODE;
    in.ki.dwExtraInfo = ks::contract::kInjectTag;
    events.push_back(in);
    in.ki.dwFlags |= KEYEVENTF_KEYUP;
    events.push_back(in);
  }
  void Flush() override {}
  std::vector<INPUT> events;
};

// A typing run without the bar, into a target already in front.
class InFront : public ks::ForegroundHandOver {
 public:
  bool WindowExists(ks::WindowId w) override { return ks::WindowExists(w); }
  bool BringToForeground(ks::WindowId) override { return true; }
};

struct Landing {
  bool ok = false;
  std::string problem;
  double injectMs = 0;  // until the injecting call returned (0: not ours to time)
  double firstMs = 0;   // until the first character was in the target
  double lastMs = 0;    // until the last one was
  // Processor time spent meanwhile by keystrum.exe, the target, this process and the
  // Wine server (which every message and every injected event passes through).
  double cpuBarMs = 0, cpuTargetMs = 0, cpuSelfMs = 0, cpuServerMs = 0;
};

// Processor time of a process so far, where the host system keeps it.
struct CpuClock {
  HANDLE process;
  std::string unixPid;
  double Ms() const { return UsageOf(process, unixPid).cpuMs; }
};

class Target {
 public:
  Target(const char* mode, CpuClock bar, CpuClock self, CpuClock server)
      : countOnly_(std::string(mode) == "count"), bar_(bar), self_(self), server_(server) {
    child_ = Launch("\"" + ks::e2e::ExeDir() + "bench_target.exe\" " + mode);
    if (!child_) return;
    target_ = CpuClock{child_.process(),
                       UnderWine() ? UnixPidOf("bench_target.exe") : ""};
    WaitFor([&] { return (main_ = ks::e2e::FindWindowOf(child_.pid(), ks::helpers::kBenchTargetClass)); },
            30000);
    if (main_ && !countOnly_) edit_ = GetDlgItem(main_, 100);
  }
  ~Target() {
    if (main_) PostMessageA(main_, WM_CLOSE, 0, 0);
    child_.WaitExit(5000);
  }
  bool ready() const { return main_ && (countOnly_ || edit_); }
  // Says what else is on the screen when a run fails.
  std::function<std::string()> describe = [] { return std::string(); };
  HWND main() const { return main_; }

  // Makes the target the window the user works in, as a click on its caption does, and
  // gives the bar's timer a few ticks to note it.
  bool Focus() {
    RECT r{};
    GetWindowRect(main_, &r);
    ks::e2e::Click((r.left + r.right) / 2, r.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2);
    if (!WaitFor([&] { return GetForegroundWindow() == main_; }, 5000)) return false;
    Sleep(200);
    return true;
  }

  // Empties the target, brings it forward, lets `fire` type (it returns the counter time
  // it started at and the time its injecting call returned) and waits for the text.
  Landing Run(const std::wstring& want,
              const std::function<std::pair<LONGLONG, LONGLONG>()>& fire) {
    Landing l;
    Ask(kTargetClear);
    if (!Focus()) {
      l.problem = "the target did not come to the foreground";
      return l;
    }
    const double cpu0[] = {bar_.Ms(), target_.Ms(), self_.Ms(), server_.Ms()};
    const auto [t0, injected] = fire();
    const LRESULT n = static_cast<LRESULT>(want.size());
    // Done when all arrived, or when nothing more has come for a while.
    LRESULT seen = -1;
    LONGLONG changed = Ticks();
    bool complete = false;
    while (!(complete = Ask(kTargetCount) >= n)) {
      const LRESULT now = Ask(kTargetCount);
      if (now != seen) {
        seen = now;
        changed = Ticks();
      } else if (MsSince(changed) > 5000) {
        break;
      }
      Sleep(20);
    }
    l.cpuBarMs = bar_.Ms() - cpu0[0];
    l.cpuTargetMs = target_.Ms() - cpu0[1];
    l.cpuSelfMs = self_.Ms() - cpu0[2];
    l.cpuServerMs = server_.Ms() - cpu0[3];
    Sleep(200);  // anything extra would arrive now
    const std::wstring got = WideTextOf(countOnly_ ? main_ : edit_);
    l.injectMs = injected ? TicksToMs(injected - t0) : 0;
    l.firstMs = TicksToMs(Ask(kTargetFirstTime) - t0);
    l.lastMs = TicksToMs(Ask(kTargetLastTime) - t0);
    if (!complete) {
      const HWND fg = GetForegroundWindow();
      l.problem = Format("only %ld of %ld characters arrived; the foreground is a %s; ",
                         static_cast<long>(Ask(kTargetCount)), static_cast<long>(n),
                         ks::e2e::ClassOf(fg).c_str()) +
                  describe();
    } else if (got != want) {
      size_t i = 0;
      while (i < got.size() && i < want.size() && got[i] == want[i]) ++i;
      l.problem = Format("the text differs from character %zu on (%zu characters arrived)", i,
                         got.size());
    } else {
      l.ok = true;
    }
    return l;
  }

 private:
  LRESULT Ask(UINT msg) {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutA(main_, msg, 0, 0, SMTO_ABORTIFHUNG, 10000, &r)) return -1;
    return static_cast<LRESULT>(r);
  }

  bool countOnly_;
  CpuClock bar_, self_, server_, target_{};
  Child child_;
  HWND main_ = nullptr;
  HWND edit_ = nullptr;
};

// A left press where the pointer already is: the moment it is sent is the start.
void LeftDownAt(int x, int y) { ks::e2e::SendMouseAt(x, y, MOUSEEVENTF_LEFTDOWN); }

struct Series {
  const char* name;
  std::vector<Landing> runs;
  double Of(double Landing::*field) const {
    std::vector<double> v;
    for (const Landing& l : runs) v.push_back(l.*field);
    return Median(v);
  }
  double Last() const { return Of(&Landing::lastMs); }
  // Processor time of a landing, summed over every process that took part.
  double Cpu() const {
    std::vector<double> v;
    for (const Landing& l : runs) v.push_back(l.cpuBarMs + l.cpuTargetMs + l.cpuSelfMs + l.cpuServerMs);
    return Median(v);
  }
  bool Ok() const {
    for (const Landing& l : runs)
      if (!l.ok) return false;
    return !runs.empty();
  }
};

}  // namespace

int main() {
  const std::string text = BenchText();
  const std::wstring wideText = ks::Wide(text);
  const std::string greek = GreekText();
  const std::wstring wideGreek = ks::Wide(greek);
  const std::vector<INPUT> greekBatch = UnicodeBatch(wideGreek);

  ks::e2e::Keystrum k;
  k.WriteIni(
      "[Window]\r\nButtonWidth=100\r\nXPosition=620\r\nYPosition=100\r\n"
      "[Groups]\r\nNumGroups=1\r\nActiveGroup=1\r\nGroupName1=Bench\r\n"
      "[Commands]\r\nNumCommands=2\r\nColumns=1\r\nCaption1=Type\r\nCaption2=Greek\r\n");
  k.WriteDat("\xEF\xBB\xBF" + text + "\r\n" + greek + "\r\n");
  if (!k.Start()) {
    std::printf("FAIL: keystrum.exe did not start\n");
    return 1;
  }
  k.TrayClick();
  if (!WaitFor([&] { return IsWindowVisible(k.Bar()) != FALSE; })) {
    std::printf("FAIL: the bar did not show\n");
    return 1;
  }

  ks::WinKeyboardLayout layout;
  ks::WinClock clock;
  InFront inFront;
  ks::TypingPump pump;
  CollectingSink collected;
  {
    ks::Typist collector(ks::TypingPorts{collected, layout, clock, inFront, &pump});
    collector.TargetWindow = ks::ToWindowId(GetDesktopWindow());
    collector.SendString(text);
  }
  std::printf("text: %d characters, %zu key events\n", kChars, collected.events.size());

  const bool wine = UnderWine();
  const CpuClock barClock{k.process(), wine ? UnixPidOf(k.dir() + "keystrum.exe") : ""};
  const CpuClock selfClock{GetCurrentProcess(), wine ? UnixPidOf("bench_typing.exe") : ""};
  const CpuClock serverClock{nullptr, wine ? UnixPidOf("wineserver64") : ""};
  if (wine && (barClock.unixPid.empty() || selfClock.unixPid.empty()))
    std::printf("(the Linux processes were not found: processor times are this process's)\n");

  int status = 0;
  double editRatio = 0, countRatio = 0, countRate = 0, editPerChar = 0;
  double editMs[2] = {}, countMs[2] = {};  // keystrum, batch
  double greekRatio[2] = {}, greekMs[2][2] = {};  // per target: keystrum, Unicode batch
  for (const char* mode : {"edit", "count"}) {
    Target target(mode, barClock, selfClock, serverClock);
    target.describe = [&] { return ks::e2e::DescribeWindows(k.pid()); };
    if (!target.ready()) {
      std::printf("FAIL: bench_target.exe %s showed no window\n", mode);
      return 1;
    }
    Series bar{"keystrum.exe, mouse-down on a button", {}};
    Series engine{"engine here, as the bar sends", {}};
    Series unpumped{"  the same without pumping messages", {}};
    Series batch{"one SendInput batch", {}};
    Series switched{"the same after a switch to the bar", {}};
    Series greekBar{"Greek: keystrum.exe, mouse-down", {}};
    Series greekRaw{"Greek: one Unicode SendInput batch", {}};
    auto pressButton = [&](int index) {
      RECT r{};
      GetWindowRect(k.Button(index), &r);
      const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
      ks::e2e::MoveMouse(x, y);
      const LONGLONG t0 = Ticks();
      LeftDownAt(x, y);
      Sleep(30);
      ks::e2e::MouseUp(x, y);
      return std::pair<LONGLONG, LONGLONG>(t0, 0);
    };
    const bool edit = std::string(mode) == "edit";
    const int runs = edit ? kEditRuns : kCounterRuns;
    for (int run = 0; run < runs; ++run) {
      bar.runs.push_back(target.Run(wideText, [&] { return pressButton(1); }));
      // The typing engine in this process, its queue pumped as the bar pumps it (or, to
      // tell the two costs apart, not).
      auto engineRun = [&](ks::MessagePump* typingPump) {
        return target.Run(wideText, [&] {
          ks::SendInputSink sink;
          ks::Typist typist(ks::TypingPorts{sink, layout, clock, inFront, typingPump});
          typist.TargetWindow = ks::ToWindowId(target.main());
          const LONGLONG t0 = Ticks();
          typist.SendString(text);
          return std::pair<LONGLONG, LONGLONG>(t0, Ticks());
        });
      };
      engine.runs.push_back(engineRun(&pump));
      unpumped.runs.push_back(engineRun(nullptr));
      // `events` in one SendInput call, timed from before `leadIn`.
      auto oneBatch = [&](const std::wstring& expected, std::vector<INPUT> events,
                          const std::function<void()>& leadIn) {
        return target.Run(expected, [&] {
          const LONGLONG t0 = Ticks();
          leadIn();
          SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
          return std::pair<LONGLONG, LONGLONG>(t0, Ticks());
        });
      };
      batch.runs.push_back(oneBatch(wideText, collected.events, [] {}));
      // What a press costs the target before any key: the click makes the bar the
      // foreground and the bar gives it back, and each window handles its activation.
      switched.runs.push_back(oneBatch(wideText, collected.events, [&] {
        DWORD_PTR ignored = 0;
        for (HWND w : {k.Bar(), target.main()}) {
          SetForegroundWindow(w);
          SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
        }
      }));
      greekBar.runs.push_back(target.Run(wideGreek, [&] { return pressButton(2); }));
      greekRaw.runs.push_back(oneBatch(wideGreek, greekBatch, [] {}));
    }

    std::printf("\ntarget: %s (median of %d runs, ms from the start)\n",
                edit ? "multi-line EDIT" : "window counting WM_CHAR", runs);
    std::printf("  %-38s %9s %9s %9s %8s | %s\n", "path", "injected", "1st char", "last char",
                "chars/s", "cpu ms: bar target here server");
    for (const Series* s : {&bar, &engine, &unpumped, &batch, &switched, &greekBar, &greekRaw}) {
      const double inject = s->Of(&Landing::injectMs);
      std::printf("  %-38s %9s %9.1f %9.1f %8.0f | %11.0f %6.0f %4.0f %6.0f  %s\n", s->name,
                  inject > 0 ? Format("%.1f", inject).c_str() : "-", s->Of(&Landing::firstMs),
                  s->Last(), kChars * 1000.0 / s->Last(), s->Of(&Landing::cpuBarMs),
                  s->Of(&Landing::cpuTargetMs), s->Of(&Landing::cpuSelfMs),
                  s->Of(&Landing::cpuServerMs),
                  s->Ok() ? "text exact" : "");
      for (size_t i = 0; i < s->runs.size(); ++i)
        if (!s->runs[i].ok) std::printf("    FAIL in run %zu: %s\n", i + 1, s->runs[i].problem.c_str());
      if (!s->Ok()) status = 1;
    }
    // Each round ran its paths back to back, so a round's own ratio is spared most of the
    // drift of a machine that other work slows down and speeds up again.
    auto ratioTo = [&](const Series& s, double* low = nullptr, double* high = nullptr,
                       const Series* against = nullptr) {
      const Series& base = against ? *against : batch;
      std::vector<double> r;
      for (size_t i = 0; i < s.runs.size() && i < base.runs.size(); ++i)
        r.push_back(s.runs[i].lastMs / base.runs[i].lastMs);
      if (low && !r.empty()) *low = *std::min_element(r.begin(), r.end());
      if (high && !r.empty()) *high = *std::max_element(r.begin(), r.end());
      return Median(r);
    };
    double low = 0, high = 0;
    const double ratio = ratioTo(bar, &low, &high);
    // Once every event is queued the target works alone: its pace per character.
    std::vector<double> paces;
    for (const Landing& l : batch.runs) paces.push_back((l.lastMs - l.firstMs) / (kChars - 1));
    const double pace = Median(paces);
    std::printf("  keystrum / batch: %.2f (rounds %.2f..%.2f; goal <= %.2f)\n", ratio, low, high,
                kGoal);
    std::printf("  engine as the bar sends / batch: %.2f, the same unpumped: %.2f\n",
                ratioTo(engine), ratioTo(unpumped));
    const double switchRatio = ratioTo(switched);
    const double barOverSwitched = ratioTo(bar, nullptr, nullptr, &switched);
    std::printf("  batch after a switch to the bar and back / batch: %.2f; keystrum / that: %.2f\n",
                switchRatio, barOverSwitched);
    double greekLow = 0, greekHigh = 0;
    const double greekR = ratioTo(greekBar, &greekLow, &greekHigh, &greekRaw);
    std::printf("  Greek: keystrum / Unicode batch: %.2f (rounds %.2f..%.2f; goal <= %.2f)\n",
                greekR, greekLow, greekHigh, kGreekGoal);
    std::printf("  once every event is queued the target takes %.3f ms a character\n", pace);
    std::printf("  processor time of a landing, all processes: keystrum %.0f ms, batch %.0f ms\n",
                bar.Cpu(), batch.Cpu());
    Summary(Format("typing 1000 chars into %s: processor time keystrum / batch",
                   edit ? "an EDIT" : "a counter"),
            Format("%.2f (%.0f / %.0f ms)", bar.Cpu() / batch.Cpu(), bar.Cpu(), batch.Cpu()), "",
            "-");
    Summary(Format("into %s, one batch after a switch to the bar and back / one batch",
                   edit ? "an EDIT" : "a counter"),
            Format("%.2f (keystrum / that %.2f)", switchRatio, barOverSwitched), "", "-");
    const int t = edit ? 0 : 1;
    greekRatio[t] = greekR;
    greekMs[t][0] = greekBar.Last();
    greekMs[t][1] = greekRaw.Last();
    if (edit) {
      editMs[0] = bar.Last();
      editMs[1] = batch.Last();
      editRatio = ratio;
      editPerChar = pace;
    } else {
      countMs[0] = bar.Last();
      countMs[1] = batch.Last();
      countRatio = ratio;
      countRate = kChars * 1000.0 / batch.Last();
    }
  }

  const char* verdict = editRatio <= kGoal ? "ok" : "MISSED";
  Summary("typing 1000 chars into an EDIT: keystrum / one batch",
          Format("%.2f (%.0f / %.0f ms)", editRatio, editMs[0], editMs[1]), Format("<= %.2f", kGoal),
          verdict);
  Summary("typing 1000 chars into a WM_CHAR counter: keystrum / one batch",
          Format("%.2f (%.0f / %.0f ms)", countRatio, countMs[0], countMs[1]),
          Format("<= %.2f", kGoal), countRatio <= kGoal ? "ok" : "MISSED");
  Summary("typing 1000 Greek chars into an EDIT: keystrum / one Unicode batch",
          Format("%.2f (%.0f / %.0f ms)", greekRatio[0], greekMs[0][0], greekMs[0][1]),
          Format("<= %.2f", kGreekGoal), greekRatio[0] <= kGreekGoal ? "ok" : "MISSED");
  Summary("typing 1000 Greek chars into a WM_CHAR counter: keystrum / one Unicode batch",
          Format("%.2f (%.0f / %.0f ms)", greekRatio[1], greekMs[1][0], greekMs[1][1]),
          Format("<= %.2f", kGreekGoal), greekRatio[1] <= kGreekGoal ? "ok" : "MISSED");
  Summary("pure injection rate (batch into the counter)", Format("%.0f chars/s", countRate), "",
          "-");
  Summary("EDIT cost per character", Format("%.3f ms", editPerChar), "", "-");

  if (!k.Exit()) std::printf("keystrum.exe did not end through its tray form\n");
  return status;
}
