// A long text in the button editor: 40,000 characters pasted into its emptied text field
// with Ctrl+V, then one key typed after them, each timed from the injected keys until
// keystrum.exe answers again with the text in place. A text has no length limit, and the
// user waits this long at every paste and at every key. Beside them, what a bare edit
// control of the field's styles and size takes for the same, in this process: under Wine
// nearly all of a paste's time is the control's own. A number as the first argument: that
// many rounds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_util.h"
#include "contract.h"
#include "support/harness.h"
#include "text/codepage_win.h"
#include "win/controls.h"

namespace {

using namespace ks::bench;
using ks::e2e::WaitFor;

constexpr int kChars = 40000;
constexpr int kRounds = 5;
constexpr double kGoalMs = 50;
constexpr int kMemoId = 103;  // the editor's text field

// Lines of a letter, as a user copies them from a document: each line break becomes
// "{enter}" in the field.
std::wstring PastedText() {
  const std::wstring line =
      L"Dear Ms. Smith, thank you for order #4711 (3 items): shipped today.";
  std::wstring text;
  while (text.size() + line.size() + 2 < static_cast<size_t>(kChars)) text += line + L"\r\n";
  text.append(static_cast<size_t>(kChars) - text.size(), L'x');
  return text;
}

// What the field holds after the paste: each line break as its code, which the field
// shows with a line break after it.
std::wstring InField(const std::wstring& pasted) {
  std::wstring out;
  for (size_t i = 0; i < pasted.size(); ++i) {
    if (pasted[i] == L'\r' && i + 1 < pasted.size() && pasted[i + 1] == L'\n') {
      out += L"{enter}\r\n";
      ++i;
    } else {
      out += pasted[i];
    }
  }
  return out;
}

// The field's length once the program answers; -1 when it does not within the timeout.
LRESULT LengthOf(HWND field) {
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutW(field, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 60000, &n)) return -1;
  return static_cast<LRESULT>(n);
}

// Milliseconds from `t0` until the field holds `length` characters; -1 after a minute.
double MsUntilLength(HWND field, LONGLONG t0, LRESULT length) {
  for (;;) {
    const LRESULT n = LengthOf(field);
    if (n == length) return MsSince(t0);
    if (n < 0 || MsSince(t0) > 60000) return -1;
    Sleep(1);
  }
}

struct Row {
  std::vector<double> ms;
  bool ok = true;
  void Add(double v) {
    if (v < 0) ok = false;
    ms.push_back(v);
  }
  void Report(const char* what) const {
    if (ms.empty()) {
      Summary(what, "not measured", Format("<= %.0f ms", kGoalMs), "MISSED");
      return;
    }
    const double median = Median(ms);
    const double low = *std::min_element(ms.begin(), ms.end());
    const double high = *std::max_element(ms.begin(), ms.end());
    std::printf("  %-44s median %7.1f ms, rounds %.1f..%.1f\n", what, median, low, high);
    Summary(what, ok ? Format("%.0f ms (rounds %.0f..%.0f)", median, low, high) : "no answer",
            Format("<= %.0f ms", kGoalMs), ok && median <= kGoalMs ? "ok" : "MISSED");
  }
};

}  // namespace

int main(int argc, char** argv) {
  const int kRounds = argc > 1 ? std::atoi(argv[1]) : ::kRounds;
  const std::wstring pasted = PastedText();
  const std::wstring field = InField(pasted);

  ks::e2e::Keystrum k;
  k.WriteIni(
      "[Window]\r\nButtonWidth=100\r\nXPosition=620\r\nYPosition=100\r\n"
      "[TypeWindow]\r\nXPosition=100\r\nYPosition=300\r\nWidth=400\r\nHeight=230\r\n"
      "[Groups]\r\nNumGroups=1\r\nActiveGroup=1\r\nGroupName1=Bench\r\n"
      "[Commands]\r\nNumCommands=1\r\nColumns=1\r\nCaption1=Letter\r\n");
  k.WriteDat("short\r\n");
  if (!k.Start()) {
    std::printf("FAIL: keystrum.exe did not start\n");
    return 1;
  }
  k.TrayClick();
  if (!WaitFor([&] { return IsWindowVisible(k.Bar()) != FALSE; })) {
    std::printf("FAIL: the bar did not show\n");
    return 1;
  }
  // "Edit Button", the third item of the button menu.
  ks::e2e::ClickWindow(k.Button(1), true);
  if (!k.MenuOpens()) {
    std::printf("FAIL: no button menu\n");
    return 1;
  }
  Sleep(150);
  for (int n = 0; n < 3; ++n) ks::e2e::PressKey(VK_DOWN);
  ks::e2e::PressKey(VK_RETURN);
  HWND editor = nullptr;
  WaitFor([&] {
    return (editor = ks::e2e::FindVisibleWindowOf(k.pid(), ks::contract::kEditorClass)) != nullptr;
  });
  HWND memo = editor ? GetDlgItem(editor, kMemoId) : nullptr;
  const bool focused = memo && WaitFor([&] {
    GUITHREADINFO g{};
    g.cbSize = sizeof g;
    return GetForegroundWindow() == editor &&
           GetGUIThreadInfo(GetWindowThreadProcessId(editor, nullptr), &g) && g.hwndFocus == memo;
  });
  if (!focused) {
    std::printf("FAIL: the editor's text field did not take the keys; %s\n",
                ks::e2e::DescribeWindows(k.pid()).c_str());
    return 1;
  }
  if (!ks::e2e::SetClipboardText(ks::Utf8(pasted))) {
    std::printf("FAIL: the clipboard took no text\n");
    return 1;
  }

  std::printf("text: %d characters with %zu line breaks, %zu in the field\n", kChars,
              std::count(pasted.begin(), pasted.end(), L'\n'), field.size());
  std::fflush(stdout);
  Row paste, key;
  for (int round = 0; round < kRounds; ++round) {
    // Emptied first: over the same text the paste would change next to nothing.
    SendMessageW(memo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    LONGLONG t0 = Ticks();
    ks::e2e::PressWith(VK_CONTROL, 'V');
    paste.Add(MsUntilLength(memo, t0, static_cast<LRESULT>(field.size())));
    if (!paste.ok) break;
    t0 = Ticks();
    ks::e2e::PressKey('X');
    key.Add(MsUntilLength(memo, t0, static_cast<LRESULT>(field.size() + 1)));
    std::printf("  round %d: paste %.1f ms, key %.1f ms\n", round + 1, paste.ms.back(),
                key.ms.back());
    std::fflush(stdout);
    if (!key.ok) break;
  }
  std::wstring got(field.size() + 2, L'\0');
  got.resize(static_cast<size_t>(
      SendMessageW(memo, WM_GETTEXT, got.size(), reinterpret_cast<LPARAM>(got.data()))));
  int status = 0;
  if (!paste.ok || !key.ok || got != field + L"x") {
    std::printf("FAIL: the field does not hold the pasted text and the key (%zu characters)\n",
                got.size());
    paste.ok = key.ok = false;
    status = 1;
  }
  // The same into a bare edit control of the field's styles, font and size, in this
  // process: what the control itself takes, which no handling of ours can undercut. Its
  // width counts: the control looks for each line's break a word at a time, laying the
  // line out again at every try, and a few pixels more or less change how many tries the
  // lines of this text take, and the time by a quarter.
  Row bare, bareKey;
  {
    RECT size{};
    GetWindowRect(memo, &size);
    const int w = size.right - size.left, h = size.bottom - size.top;
    HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 500, 300, w + 30,
                                h + 30, nullptr, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                WS_CHILD | WS_VISIBLE | ES_LEFT | ES_MULTILINE | ES_WANTRETURN |
                                    ES_AUTOVSCROLL | WS_VSCROLL,
                                0, 0, w, h, host, nullptr, nullptr, nullptr);
    ks::win::UniqueFont font = ks::win::MakeDesignFont(96);
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
    for (int round = 0; round < kRounds; ++round) {
      SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
      LONGLONG t0 = Ticks();
      SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(field.c_str()));
      bare.Add(MsSince(t0));
      t0 = Ticks();
      SendMessageW(edit, WM_CHAR, 'x', 0);
      bareKey.Add(MsSince(t0));
    }
    DestroyWindow(host);
  }

  std::printf("editor's text field, %d rounds:\n", kRounds);
  paste.Report("paste 40,000 chars into the editor's text field");
  key.Report("one key typed after the paste");
  std::printf("  a bare edit control taking the same: paste %.1f ms, key %.1f ms (medians)\n",
              Median(bare.ms), Median(bareKey.ms));
  Summary("  the same paste into a bare edit control (the control's own cost)",
          Format("%.0f ms", Median(bare.ms)), "", "-");
  Summary("  one key into the bare edit control after it",
          Format("%.0f ms", Median(bareKey.ms)), "", "-");

  PostMessageW(editor, WM_SYSCOMMAND, SC_CLOSE, 0);
  WaitFor([&] { return !IsWindowVisible(editor); });
  if (!k.Exit()) std::printf("keystrum.exe did not end through its tray form\n");
  return status;
}
