#include "typing/ports_win.h"

#include <algorithm>

#include <imm.h>
#include <shellapi.h>

#include "contract.h"
#include "keys/layouts_win.h"
#include "text/codepage_win.h"
#include "typing/typist.h"

namespace ks {

bool WindowExists(WindowId w) { return w != 0 && IsWindow(ToHwnd(w)); }

// ---- input injection ----

void SendInputSink::Key(std::uint8_t vk, std::uint16_t scan, bool keyUp, bool extended) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = scan;
  // Virtual key plus scan code, not KEYEVENTF_SCANCODE: the receiver then gets the
  // key we mean even where its own layout differs from ours.
  in.ki.dwFlags = (keyUp ? KEYEVENTF_KEYUP : 0u) | (extended ? KEYEVENTF_EXTENDEDKEY : 0u);
  in.ki.dwExtraInfo = contract::kInjectTag;
  pending_.push_back(in);
}

void SendInputSink::Unicode(char16_t ch) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = 0;
  in.ki.wScan = static_cast<WORD>(ch);
  in.ki.dwFlags = KEYEVENTF_UNICODE;
  in.ki.dwExtraInfo = contract::kInjectTag;
  pending_.push_back(in);
  in.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
  pending_.push_back(in);
}

std::size_t SendInputSink::Flush() {
  if (pending_.empty()) return 0;
  // The system inserts fewer when something blocks input (a window of higher rights in
  // front, another program's BlockInput): the caller stops there.
  const UINT taken = SendInput(static_cast<UINT>(pending_.size()), pending_.data(), sizeof(INPUT));
  pending_.clear();
  return taken;
}

// ---- keyboard layout ----

LayoutId WinKeyboardLayout::LayoutOf(WindowId w) const {
  const DWORD thread = w ? GetWindowThreadProcessId(ToHwnd(w), nullptr) : 0;
  return reinterpret_cast<LayoutId>(GetKeyboardLayout(thread));
}

std::int16_t WinKeyboardLayout::CharToKey(LayoutId layout, char16_t c) const {
  return ::VkKeyScanExW(static_cast<WCHAR>(c), reinterpret_cast<HKL>(layout));
}

std::uint16_t WinKeyboardLayout::ScanCode(LayoutId layout, std::uint8_t vk) const {
  return static_cast<std::uint16_t>(
      MapVirtualKeyExW(vk, MAPVK_VK_TO_VSC, reinterpret_cast<HKL>(layout)));
}

KeyMade WinKeyboardLayout::Makes(LayoutId layout, std::uint8_t vk, std::uint8_t state,
                                 bool capsLock) const {
  keys::KeyState keys{};
  keys[vk] = 0x80;
  if (state & kShiftBit) keys[VK_SHIFT] = keys[VK_LSHIFT] = 0x80;
  if (state & kCtrlBit) keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
  if (state & kAltBit) keys[VK_MENU] = keys[VK_RMENU] = 0x80;
  if (capsLock) keys[VK_CAPITAL] = 1;
  // The system's translation as the abbreviations and the shortcut keys ask it, which
  // leaves no accent pending in this thread.
  char16_t out[8] = {};
  const int n = keys::WinKeyLayouts().Translate(
      layout, vk, MapVirtualKeyExW(vk, MAPVK_VK_TO_VSC, reinterpret_cast<HKL>(layout)), keys,
      out, 8);
  if (n < 0) return KeyMade{{}, true};
  return KeyMade{std::u16string(out, static_cast<std::size_t>(n)), false};
}

std::string ProcessFileName(WindowId w) {
  DWORD pid = 0;
  if (!w || !GetWindowThreadProcessId(ToHwnd(w), &pid) || !pid) return {};
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return {};
  std::wstring path(MAX_PATH, L'\0');
  DWORD size = static_cast<DWORD>(path.size());
  const BOOL ok = QueryFullProcessImageNameW(process, 0, path.data(), &size);
  CloseHandle(process);
  if (!ok) return {};
  path.resize(size);
  return Utf8(path.substr(path.find_last_of(L"\\/") + 1));
}

// ---- the foreground and the user's keys ----

WindowId WinInputConditions::Foreground() { return ToWindowId(GetForegroundWindow()); }

bool WinInputConditions::CapsLockOn() {
  if (capsLock)
    if (const std::optional<bool> followed = capsLock()) return *followed;
  return (GetKeyState(VK_CAPITAL) & 1) != 0;
}

bool WinInputConditions::ModifierHeld() {
  for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN, VK_RWIN})
    if (GetAsyncKeyState(key) & 0x8000) return true;
  return false;
}

bool WinInputConditions::InputMethodOpen(WindowId w) {
  // Only the languages whose input methods compose keys into other characters; another
  // process's input context is reached through its input method's default window.
  const LANGID lang = LOWORD(reinterpret_cast<std::uintptr_t>(
      GetKeyboardLayout(GetWindowThreadProcessId(ToHwnd(w), nullptr))));
  const WORD primary = PRIMARYLANGID(lang);
  if (primary != LANG_JAPANESE && primary != LANG_CHINESE && primary != LANG_KOREAN) return false;
  HWND ime = ImmGetDefaultIMEWnd(ToHwnd(w));
  if (!ime) return false;
  constexpr WPARAM kGetOpenStatus = 0x0005;  // IMC_GETOPENSTATUS
  DWORD_PTR open = 0;
  return SendMessageTimeoutW(ime, WM_IME_CONTROL, kGetOpenStatus, 0, SMTO_ABORTIFHUNG, 200,
                             &open) &&
         open != 0;
}

namespace {

// Wine's RichEdit removes one half of a surrogate pair with a Backspace, as every edit
// control does; the system's own removes the pair.
bool UnderWine() {
  static const bool wine =
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

}  // namespace

bool WinInputConditions::BackspaceTakesHalfPair(WindowId w) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(ToHwnd(w), nullptr);
  HWND focus = thread && GetGUIThreadInfo(thread, &info) && info.hwndFocus ? info.hwndFocus : ToHwnd(w);
  wchar_t cls[64] = {};
  GetClassNameW(focus, cls, 64);
  return BackspaceRemovesHalfPair(Utf8(cls), UnderWine());
}

int WinInputConditions::PaceMs(WindowId w) {
  if (!settings || settings->Paces.empty()) return 0;
  if (w != pacedWindow_) {
    pace_ = PaceFor(*settings, ProcessFileName(w));
    pacedWindow_ = w;
  }
  return pace_;
}

std::int64_t WinInputConditions::NowMs() {
  // The performance counter: the tick count moves in steps of up to 16 ms, and a {wait}
  // measured on it could end that much early.
  LARGE_INTEGER freq, now;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&now);
  return static_cast<std::int64_t>(now.QuadPart / freq.QuadPart * 1000 +
                                   now.QuadPart % freq.QuadPart * 1000 / freq.QuadPart);
}

// ---- clock ----

namespace {

// Calls a ...W formatting function twice, once for the size and once for the text, and
// hands the text on as UTF-8.
template <typename Format>
std::string Formatted(Format format) {
  const int n = format(nullptr, 0);
  if (n <= 0) return {};
  std::wstring s(static_cast<std::size_t>(n), L'\0');
  const int got = format(s.data(), n);
  s.resize(got > 0 ? static_cast<std::size_t>(got - 1) : 0);  // without the NUL
  return Utf8(s);
}

}  // namespace

SYSTEMTIME WinClock::Now() const {
  if (fixed_) return *fixed_;
  SYSTEMTIME st{};
  GetLocalTime(&st);
  return st;
}

std::string WinClock::ShortDate() {
  const SYSTEMTIME st = Now();
  return Formatted([&](wchar_t* buf, int n) {
    return GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf, n,
                           nullptr);
  });
}

std::string WinClock::LongDayName() {
  const SYSTEMTIME st = Now();
  // wDayOfWeek counts from Sunday = 0; the locale's day names from Monday = 1.
  const LCTYPE item = st.wDayOfWeek == 0 ? LOCALE_SDAYNAME7
                                         : static_cast<LCTYPE>(LOCALE_SDAYNAME1 + st.wDayOfWeek - 1);
  return Formatted([&](wchar_t* buf, int n) {
    return GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, buf, n);
  });
}

std::string WinClock::MonthName() {
  const SYSTEMTIME st = Now();
  return Formatted([&](wchar_t* buf, int n) {
    return GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, L"MMMM", buf, n, nullptr);
  });
}

std::string WinClock::LongTime() {
  const SYSTEMTIME st = Now();
  return Formatted([&](wchar_t* buf, int n) {
    return GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, nullptr, buf, n);
  });
}

// ---- clipboard ----

std::string WinClipboard::Text() {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return {};
  // Another program may hold the clipboard open for a moment, as while it copies.
  bool open = false;
  for (int tries = 0; tries < 10 && !(open = OpenClipboard(nullptr) != FALSE); ++tries) Sleep(10);
  if (!open) return {};
  std::wstring text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      // Up to the first NUL, and never beyond the block, whatever its owner wrote there.
      const std::size_t units = GlobalSize(data) / sizeof(wchar_t);
      text.assign(chars, std::find(chars, chars + units, L'\0'));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return Utf8(text);
}

// ---- shell and message pump ----

bool ShellOpen(HWND owner, const std::string& program, const std::string& params) {
  const std::wstring file = Wide(program), args = Wide(params);
  HINSTANCE r = ShellExecuteW(owner, L"open", file.c_str(), params.empty() ? nullptr : args.c_str(),
                              L"c:\\", SW_SHOWNORMAL);
  return reinterpret_cast<std::uintptr_t>(r) > 32;
}

void ProcessWaitingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void TypingPump::Wait(int ms) {
  // Counted on the performance counter: the tick count moves in steps of up to 16 ms.
  LARGE_INTEGER freq, now;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&now);
  const LONGLONG end = now.QuadPart + freq.QuadPart * ms / 1000;
  for (;;) {
    ProcessWaitingMessages();
    QueryPerformanceCounter(&now);
    if (now.QuadPart >= end) break;
    const auto left = static_cast<DWORD>((end - now.QuadPart) * 1000 / freq.QuadPart);
    MsgWaitForMultipleObjectsEx(0, nullptr, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  last_ = GetTickCount64();
}

void TypingPump::ProcessMessages() {
  const ULONGLONG now = GetTickCount64();
  if (now - last_ < kEveryMs) return;
  last_ = now;
  ProcessWaitingMessages();
}

}  // namespace ks
