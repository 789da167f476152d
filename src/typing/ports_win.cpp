#include "typing/ports_win.h"

#include <shellapi.h>

#include "typing/inject_tag.h"

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
  in.ki.dwExtraInfo = kInjectTag;
  pending_.push_back(in);
}

void SendInputSink::Unicode(char16_t ch) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = 0;
  in.ki.wScan = static_cast<WORD>(ch);
  in.ki.dwFlags = KEYEVENTF_UNICODE;
  in.ki.dwExtraInfo = kInjectTag;
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

std::int16_t WinKeyboardLayout::CharToKey(char c) const { return ::VkKeyScanA(c); }

std::uint16_t WinKeyboardLayout::ScanCode(std::uint8_t vk) const {
  return static_cast<std::uint16_t>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
}

char16_t WinKeyboardLayout::AnsiToUnicode(char c) const {
  wchar_t w = 0;
  if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &c, 1, &w, 1) != 1) return 0;
  return static_cast<char16_t>(w);
}

// ---- clock ----

namespace {

// Calls a ...A formatting function twice: once for the size, once for the text.
template <typename Format>
std::string Formatted(Format format) {
  const int n = format(nullptr, 0);
  if (n <= 0) return {};
  std::string s(static_cast<std::size_t>(n), '\0');
  const int got = format(s.data(), n);
  s.resize(got > 0 ? static_cast<std::size_t>(got - 1) : 0);  // without the NUL
  return s;
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
  return Formatted([&](char* buf, int n) {
    return GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf, n);
  });
}

std::string WinClock::LongDayName() {
  const SYSTEMTIME st = Now();
  // wDayOfWeek counts from Sunday = 0; the locale's day names from Monday = 1.
  const LCTYPE item = st.wDayOfWeek == 0 ? LOCALE_SDAYNAME7
                                         : static_cast<LCTYPE>(LOCALE_SDAYNAME1 + st.wDayOfWeek - 1);
  return Formatted(
      [&](char* buf, int n) { return GetLocaleInfoA(LOCALE_USER_DEFAULT, item, buf, n); });
}

std::string WinClock::MonthName() {
  const SYSTEMTIME st = Now();
  return Formatted([&](char* buf, int n) {
    return GetDateFormatA(LOCALE_USER_DEFAULT, 0, &st, "MMMM", buf, n);
  });
}

std::string WinClock::LongTime() {
  const SYSTEMTIME st = Now();
  return Formatted(
      [&](char* buf, int n) { return GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, n); });
}

// ---- shell and message pump ----

bool ShellOpen(HWND owner, const std::string& program, const std::string& params) {
  HINSTANCE r = ShellExecuteA(owner, "open", program.c_str(),
                              params.empty() ? nullptr : params.c_str(), "c:\\", SW_SHOWNORMAL);
  return reinterpret_cast<std::uintptr_t>(r) > 32;
}

void ProcessWaitingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace ks
