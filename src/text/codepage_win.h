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

}  // namespace ks
