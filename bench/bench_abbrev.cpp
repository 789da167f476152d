// What a key costs the abbreviation watch, over 10,000 key presses with 100 abbreviations
// defined: the low-level hook as a typing user meets it (the layout of the focus asked,
// the key translated and matched), and the watch alone with the layout's table read, for
// reference. Median and 99th percentile of a press.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "abbrev/hook_win.h"
#include "bench_util.h"
#include "contract.h"

namespace {

using namespace ks::bench;
namespace abbrev = ks::abbrev;

constexpr int kKeys = 10000;
constexpr int kAbbreviations = 100;

// A fixed sequence, so that every run types the same keys.
class Lcg {
 public:
  unsigned Next(unsigned bound) {
    state_ = state_ * 1103515245u + 12345u;
    return (state_ >> 8) % bound;
  }

 private:
  unsigned state_ = 20261207;
};

// 100 abbreviations of 3 to 10 letters and digits, each starting with "q".
std::vector<abbrev::Abbreviation> Abbreviations() {
  std::vector<abbrev::Abbreviation> list;
  Lcg lcg;
  for (int i = 0; i < kAbbreviations; ++i) {
    std::string text = "q";
    const int letters = 1 + i % 8;
    for (int k = 0; k < letters; ++k) text += static_cast<char>('a' + lcg.Next(26));
    text += static_cast<char>('0' + i % 10);
    list.push_back({1 + i / 50, 1 + i % 50, text});
  }
  return list;
}

// The virtual keys of a text of lowercase letters, digits and blanks.
void AddKeys(std::vector<WORD>& keys, const std::string& text) {
  for (char c : text) keys.push_back(c == ' ' ? VK_SPACE : static_cast<WORD>(std::toupper(c)));
}

// Words of 2 to 9 letters between blanks, a Backspace now and then, and every 25th word
// one of the abbreviations: 10,000 presses.
std::vector<WORD> Keys(const std::vector<abbrev::Abbreviation>& list) {
  std::vector<WORD> keys;
  Lcg lcg;
  for (int word = 0; keys.size() < kKeys; ++word) {
    if (word % 25 == 24) {
      AddKeys(keys, list[lcg.Next(kAbbreviations)].Text);
    } else {
      std::string w;
      const unsigned letters = 2 + lcg.Next(8);
      for (unsigned k = 0; k < letters; ++k) w += static_cast<char>('a' + lcg.Next(26));
      AddKeys(keys, w);
      if (lcg.Next(10) == 0) keys.push_back(VK_BACK);
    }
    keys.push_back(VK_SPACE);
  }
  keys.resize(kKeys);
  return keys;
}

struct Spread {
  double medianUs = 0, p99Us = 0;
  std::size_t count = 0;
};

Spread SpreadOf(const std::vector<std::int64_t>& ticks) {
  std::vector<double> us;
  for (std::int64_t t : ticks) us.push_back(TicksToMs(t) * 1000.0);
  std::sort(us.begin(), us.end());
  Spread s;
  s.count = us.size();
  if (us.empty()) return s;
  s.medianUs = us[(us.size() - 1) / 2];
  s.p99Us = us[static_cast<std::size_t>(std::ceil(0.99 * static_cast<double>(us.size()))) - 1];
  return s;
}

// The watch alone, fed as the hook feeds it, with the layout of this program's thread read
// into its table first.
Spread TimeWatch(const std::vector<abbrev::Abbreviation>& list, const std::vector<WORD>& keys,
                 int& matches) {
  ks::keys::WinKeyLayouts system;
  ks::keys::LayoutCache layouts(system);
  abbrev::AbbreviationWatch watch(layouts);
  watch.SetAbbreviations(list);
  const abbrev::LayoutId layout = reinterpret_cast<abbrev::LayoutId>(GetKeyboardLayout(0));
  while (!layouts.Fill(layout, 1000)) {
  }
  std::vector<std::int64_t> ticks;
  ticks.reserve(keys.size());
  matches = 0;
  for (WORD key : keys) {
    abbrev::KeyEvent e;
    e.Vk = key;
    e.Scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    const LONGLONG t0 = Ticks();
    if (watch.Key(e, layout).Typed) ++matches;
    ticks.push_back(Ticks() - t0);
    e.Up = true;
    watch.Key(e, layout);
  }
  return SpreadOf(ticks);
}

int g_keyDowns = 0;
int g_matches = 0;

LRESULT CALLBACK TargetProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_KEYDOWN) ++g_keyDowns;
  if (msg == ks::contract::kAbbreviationTyped) ++g_matches;
  return DefWindowProcW(h, msg, wp, lp);
}

struct InjectJob {
  const std::vector<WORD>* keys;
};

// Presses each key as a user would: untagged, one press and release at a time.
DWORD WINAPI Inject(void* param) {
  const auto* job = static_cast<InjectJob*>(param);
  for (WORD key : *job->keys) {
    INPUT in[2] = {};
    for (INPUT& i : in) {
      i.type = INPUT_KEYBOARD;
      i.ki.wVk = key;
      i.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    }
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
  }
  return 0;
}

// The hook, with this program's window in front taking the keys. False when the hook or
// the window could not be made, or the keys did not all arrive.
bool TimeHook(const std::vector<abbrev::Abbreviation>& list, const std::vector<WORD>& keys,
              Spread& spread) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = TargetProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"KsBenchAbbreviations";
  if (!RegisterClassW(&wc)) return false;
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"Abbreviations", WS_OVERLAPPEDWINDOW, 100,
                                100, 400, 300, nullptr, nullptr, wc.hInstance, nullptr);
  if (!window) return false;
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  SetFocus(window);

  abbrev::AbbreviationHook hook(window);
  hook.SetAbbreviations(list);
  hook.KeepKeyTimes(true, keys.size());
  if (!hook.Start()) {
    std::printf("the hook could not be installed\n");
    DestroyWindow(window);
    return false;
  }
  InjectJob job{&keys};
  UniqueHandle injector(CreateThread(nullptr, 0, Inject, &job, 0, nullptr));
  const LONGLONG deadline = Ticks() + static_cast<LONGLONG>(120000 / TicksToMs(1));
  while (injector && g_keyDowns < static_cast<int>(keys.size()) && Ticks() < deadline) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  if (injector) WaitForSingleObject(injector.get(), 10000);
  hook.Stop();
  DestroyWindow(window);
  spread = SpreadOf(hook.KeyTimes());
  std::printf("hook: %d of %zu presses reached the window, %zu timed, %d abbreviations told\n",
              g_keyDowns, keys.size(), spread.count, g_matches);
  return g_keyDowns == static_cast<int>(keys.size()) && spread.count == keys.size();
}

const char* Verdict(const Spread& s) {
  return s.medianUs <= 20.0 && s.p99Us <= 200.0 ? "ok" : "MISSED";
}

}  // namespace

int main() {
  const std::vector<abbrev::Abbreviation> list = Abbreviations();
  const std::vector<WORD> keys = Keys(list);

  int coreMatches = 0;
  const Spread core = TimeWatch(list, keys, coreMatches);
  std::printf("watch alone: %zu presses, %d abbreviations, median %.2f us, p99 %.2f us\n",
              core.count, coreMatches, core.medianUs, core.p99Us);

  Spread hook;
  const bool measured = TimeHook(list, keys, hook);
  if (measured) {
    std::printf("hook: median %.2f us, p99 %.2f us\n", hook.medianUs, hook.p99Us);
    Summary("key in the abbreviation hook, 100 abbreviations: median / p99",
            Format("%.1f / %.1f us", hook.medianUs, hook.p99Us), "<= 20 / 200", Verdict(hook));
  } else {
    Summary("key in the abbreviation hook, 100 abbreviations: median / p99", "not measurable",
            "<= 20 / 200", "MISSED");
  }
  Summary("key in the abbreviation watch alone: median / p99",
          Format("%.1f / %.1f us", core.medianUs, core.p99Us), "", "-");
  return measured ? 0 : 1;
}
