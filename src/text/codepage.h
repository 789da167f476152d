#pragma once
// The system's ANSI code page, the form of every file written before texts went Unicode.
// It converts whole texts: in a double-byte code page a byte on its own means nothing,
// and a trail byte may look like "{", "[" or "\".
#include <optional>
#include <string>
#include <string_view>

namespace ks {

class AnsiCodePage {
 public:
  virtual ~AnsiCodePage() = default;
  // `bytes` as UTF-8; what the code page cannot read comes out as its default character.
  virtual std::string ToUtf8(std::string_view bytes) const = 0;
  // `utf8` in the code page, or nothing when any of its characters has no place there
  // (an approximation, such as a letter without its accent, does not count as a place).
  virtual std::optional<std::string> FromUtf8(std::string_view utf8) const = 0;
};

}  // namespace ks
