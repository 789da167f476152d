#pragma once
// ANSI code pages for the tests: Western European (1252) and a double-byte one shaped like
// the Japanese code page, with a few characters whose trail bytes are "{", "}", "[" and
// "\", the bytes a conversion byte by byte would take for syntax.
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "text/codepage.h"
#include "text/utf.h"

namespace ks::test {

class FakeCp1252 : public AnsiCodePage {
 public:
  std::string ToUtf8(std::string_view bytes) const override {
    std::string out;
    for (char c : bytes) AppendUtf8(out, Char(static_cast<unsigned char>(c)));
    return out;
  }
  std::optional<std::string> FromUtf8(std::string_view utf8) const override {
    std::string out;
    for (std::size_t pos = 0; pos < utf8.size();) {
      const std::size_t at = pos;
      const char32_t cp = NextCodePoint(utf8, pos);
      if (cp == kReplacementChar && utf8.substr(at, pos - at) != "\xEF\xBF\xBD")
        return std::nullopt;  // invalid input has no place anywhere
      int byte = -1;
      for (int b = 0; b < 256 && byte < 0; ++b)
        if (Char(static_cast<unsigned char>(b)) == cp) byte = b;
      if (byte < 0) return std::nullopt;
      out += static_cast<char>(byte);
    }
    return out;
  }

 private:
  static char32_t Char(unsigned char b) {
    // 0x80..0x9F; the five holes map to the C1 controls of the same number, as on Windows.
    static constexpr char32_t k80[32] = {
        0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
        0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    return b >= 0x80 && b < 0xA0 ? k80[b - 0x80] : b;
  }
};

class FakeDoubleByte : public AnsiCodePage {
 public:
  static constexpr char32_t kDefault = 0x30FB;  // what the code page shows for a bad pair

  std::string ToUtf8(std::string_view bytes) const override {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      const auto b = static_cast<unsigned char>(bytes[i]);
      if (!IsLead(b)) {
        AppendUtf8(out, b < 0x80 ? b : b >= 0xA1 && b <= 0xDF ? 0xFF61 + (b - 0xA1) : kDefault);
        continue;
      }
      if (i + 1 >= bytes.size() || static_cast<unsigned char>(bytes[i + 1]) < 0x40) {
        AppendUtf8(out, kDefault);  // a lead byte without its trail
        continue;
      }
      const auto trail = static_cast<unsigned char>(bytes[i + 1]);
      const auto it = Pairs().find(static_cast<unsigned>(b << 8 | trail));
      AppendUtf8(out, it == Pairs().end() ? kDefault : it->second);
      ++i;
    }
    return out;
  }
  std::optional<std::string> FromUtf8(std::string_view utf8) const override {
    std::string out;
    for (std::size_t pos = 0; pos < utf8.size();) {
      const char32_t cp = NextCodePoint(utf8, pos);
      if (cp < 0x80) {
        out += static_cast<char>(cp);
      } else if (cp >= 0xFF61 && cp <= 0xFF9F) {
        out += static_cast<char>(0xA1 + (cp - 0xFF61));
      } else {
        bool found = false;
        for (const auto& [code, ch] : Pairs())
          if (ch == cp && !found) {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
            found = true;
          }
        if (!found) return std::nullopt;
      }
    }
    return out;
  }

 private:
  static bool IsLead(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
  }
  static const std::map<unsigned, char32_t>& Pairs() {
    static const std::map<unsigned, char32_t> pairs = {
        {0x93FA, U'日'}, {0x967B, U'本'}, {0x8CEA, U'語'}, {0x955C, U'表'},
        {0x817D, U'±'},  {0x815B, U'ー'}, {0x8145, U'・'}};
    return pairs;
  }
};

}  // namespace ks::test
