// A window for the typing benchmarks to type into, started as
//   bench_target.exe edit    a multi-line EDIT that takes every key, as an editor would
//   bench_target.exe count   no control at all: the window only keeps the WM_CHARs it gets
// Either way the window notes the performance-counter time of every character it handled,
// so the benchmark can time the landing without polling the target while it works (every
// poll would cost the target time of its own).
// It answers the messages of target_window.h, and WM_GETTEXT in "count" mode with the
// characters handled (in "edit" mode ask the EDIT).
// The window and its EDIT are wide, so a character of any script arrives as itself; a
// character is one UTF-16 unit.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "target_window.h"

namespace {

using namespace ks::helpers;

bool g_countOnly = false;
HWND g_text = nullptr;
WNDPROC g_textProc = nullptr;
std::wstring g_received;
std::vector<LONGLONG> g_times;  // of each of g_received

void NoteCharacter(wchar_t c) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  g_times.push_back(now.QuadPart);
  g_received.push_back(c);
}

LRESULT TimeOf(std::size_t index) {
  return index < g_times.size() ? static_cast<LRESULT>(g_times[index]) : 0;
}

// The time is taken after the EDIT has put the character in: that is when it landed.
LRESULT CALLBACK TextProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT r = CallWindowProcW(g_textProc, h, msg, wp, lp);
  if (msg == WM_CHAR) NoteCharacter(static_cast<wchar_t>(wp));
  return r;
}

LRESULT CALLBACK MainProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: {
      if (g_countOnly) return 0;
      HINSTANCE inst = reinterpret_cast<CREATESTRUCTW*>(lp)->hInstance;
      g_text = CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"",
                               WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0, 380,
                               250, h, reinterpret_cast<HMENU>(kTargetTextId), inst, nullptr);
      if (!g_text) return -1;
      g_textProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(g_text, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TextProc)));
      return 0;
    }
    case WM_SETFOCUS:
      if (g_text) SetFocus(g_text);
      return 0;
    case WM_CHAR:
      if (!g_countOnly) break;
      NoteCharacter(static_cast<wchar_t>(wp));
      return 0;
    case WM_GETTEXT: {
      if (!g_countOnly) break;
      if (wp == 0) return 0;
      const size_t n = std::min(g_received.size(), static_cast<size_t>(wp) - 1);
      std::memcpy(reinterpret_cast<wchar_t*>(lp), g_received.data(), n * sizeof(wchar_t));
      reinterpret_cast<wchar_t*>(lp)[n] = L'\0';
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
      if (!g_countOnly) break;
      return static_cast<LRESULT>(g_received.size());
    case kTargetClear:
      g_received.clear();
      g_times.clear();
      if (g_text) SetWindowTextW(g_text, L"");
      return 0;
    case kTargetCount:
      return static_cast<LRESULT>(g_received.size());
    case kTargetFirstTime:
      return TimeOf(0);
    case kTargetLastTime:
      return g_times.empty() ? 0 : TimeOf(g_times.size() - 1);
    case kTargetTimeOf:
      return TimeOf(static_cast<std::size_t>(wp));
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(h, msg, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
  g_countOnly = argc > 1 && std::strcmp(argv[1], "count") == 0;
  g_received.reserve(1 << 16);
  g_times.reserve(1 << 16);
  return ks::helpers::RunTargetWindow(ks::helpers::kBenchTargetClass,
                                      g_countOnly ? "Counter" : "Editor", &MainProc);
}
