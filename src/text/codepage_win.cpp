#include "text/codepage_win.h"

#include <windows.h>

#include <climits>

#include "text/utf.h"

namespace ks {

namespace {

int Length(std::size_t n) { return n > INT_MAX ? INT_MAX : static_cast<int>(n); }

// A system set to use UTF-8 as its ANSI code page refuses the flags below, and needs no
// conversion anyway.
bool AnsiIsUtf8() { return GetACP() == CP_UTF8; }

std::wstring FromCodePage(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), Length(bytes.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), Length(bytes.size()), w.data(), n);
  return w;
}

// `wide` in the ANSI code page; `lossless` tells whether every character had its place.
std::string ToCodePage(std::wstring_view wide, bool* lossless) {
  if (lossless) *lossless = true;
  if (wide.empty()) return {};
  // Without best fit: "e" for an e-acute the code page lacks would look as if it fitted.
  const DWORD flags = WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* used = lossless ? &usedDefault : nullptr;
  const int n = WideCharToMultiByte(CP_ACP, flags, wide.data(), Length(wide.size()), nullptr, 0,
                                    nullptr, used);
  std::string s(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(CP_ACP, flags, wide.data(), Length(wide.size()), s.data(), n, nullptr,
                        used);
  if (lossless) *lossless = n > 0 && !usedDefault;
  return s;
}

}  // namespace

std::wstring Wide(std::string_view utf8) {
  std::u16string u = Utf8ToUtf16(utf8);
  return std::wstring(u.begin(), u.end());
}

std::string Utf8(std::wstring_view wide) {
  return Utf16ToUtf8(
      std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

std::string WinAnsiCodePage::ToUtf8(std::string_view bytes) const {
  if (AnsiIsUtf8()) return ValidUtf8(bytes);
  return Utf8(FromCodePage(bytes));
}

std::optional<std::string> WinAnsiCodePage::FromUtf8(std::string_view utf8) const {
  if (AnsiIsUtf8()) return ValidUtf8(utf8);
  bool lossless = true;
  std::string s = ToCodePage(Wide(utf8), &lossless);
  if (!lossless) return std::nullopt;
  return s;
}

}  // namespace ks
