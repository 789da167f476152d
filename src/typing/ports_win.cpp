#include "typing/ports_win.h"

#include <shellapi.h>

#include "contract.h"
#include "text/codepage_win.h"

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

void SendInputSink::Flush() {
  if (pending_.empty()) return;
  // Input refused by a higher-integrity foreground window is lost, as a user's
  // keystrokes would be; there is nobody to tell.
  SendInput(static_cast<UINT>(pending_.size()), pending_.data(), sizeof(INPUT));
  pending_.clear();
}

// ---- keyboard layout ----

std::int16_t WinKeyboardLayout::CharToKey(char16_t c) const {
  return ::VkKeyScanExW(static_cast<WCHAR>(c), GetKeyboardLayout(0));
}

std::uint16_t WinKeyboardLayout::ScanCode(std::uint8_t vk) const {
  return static_cast<std::uint16_t>(MapVirtualKeyExW(vk, MAPVK_VK_TO_VSC, GetKeyboardLayout(0)));
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

void TypingPump::ProcessMessages() {
  const ULONGLONG now = GetTickCount64();
  if (now - last_ < kEveryMs) return;
  last_ = now;
  ProcessWaitingMessages();
}

}  // namespace ks
