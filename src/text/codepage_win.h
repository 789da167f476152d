#pragma once
// Texts at the Windows edge: UTF-8 to the wide form the ...W functions take and back, and
// the system's ANSI code page for the files written before texts went Unicode.
#include <optional>
#include <string>
#include <string_view>

#include "text/codepage.h"

namespace ks {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

// The system's ANSI code page (CP_ACP), converting whole texts.
class WinAnsiCodePage : public AnsiCodePage {
 public:
  std::string ToUtf8(std::string_view bytes) const override;
  std::optional<std::string> FromUtf8(std::string_view utf8) const override;
};

// For windows that still take and give ANSI texts: a store text for an ...A function (a
// character the code page lacks shows as its default character), and what such a window
// hands back, as UTF-8.
std::string AnsiFromUtf8(std::string_view utf8);
std::string Utf8FromAnsi(std::string_view ansi);

}  // namespace ks
