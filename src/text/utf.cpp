#include "text/utf.h"

namespace ks {

namespace {

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

}  // namespace

char32_t NextCodePoint(std::string_view s, std::size_t& pos) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  // The length a lead byte announces and the range its second byte must fall in, which
  // rules out overlong forms, surrogates and values beyond U+10FFFF in one test.
  std::size_t len = 0;
  unsigned char lo = 0x80, hi = 0xBF;
  char32_t cp = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2, cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3, cp = b0 & 0x0F;
    if (b0 == 0xE0) lo = 0xA0;
    if (b0 == 0xED) hi = 0x9F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4, cp = b0 & 0x07;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;
  } else {
    ++pos;
    return kReplacementChar;
  }
  std::size_t i = 1;
  for (; i < len; ++i) {
    if (pos + i >= s.size()) break;
    const auto b = static_cast<unsigned char>(s[pos + i]);
    if (i == 1 ? (b < lo || b > hi) : !IsContinuation(b)) break;
    cp = (cp << 6) | (b & 0x3F);
  }
  pos += i;  // a broken sequence is dropped as far as it went, the byte that broke it stays
  return i == len ? cp : kReplacementChar;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = kReplacementChar;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool IsValidUtf8(std::string_view s) {
  for (std::size_t pos = 0; pos < s.size();) {
    const std::size_t at = pos;
    if (NextCodePoint(s, pos) == kReplacementChar &&
        s.substr(at, pos - at) != "\xEF\xBF\xBD")
      return false;
  }
  return true;
}

std::string ValidUtf8(std::string_view s) {
  if (IsValidUtf8(s)) return std::string(s);
  std::string out;
  out.reserve(s.size() + 8);
  for (std::size_t pos = 0; pos < s.size();) AppendUtf8(out, NextCodePoint(s, pos));
  return out;
}

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (std::size_t pos = 0; pos < s.size();) {
    const char32_t cp = NextCodePoint(s, pos);
    if (cp < 0x10000) {
      out += static_cast<char16_t>(cp);
    } else {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 2);
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char16_t u = s[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (s[i + 1] - 0xDC00));
      ++i;
    } else {
      AppendUtf8(out, u);  // a lone surrogate comes out as U+FFFD
    }
  }
  return out;
}

std::size_t Utf16Length(std::string_view s) {
  std::size_t n = 0;
  for (std::size_t pos = 0; pos < s.size();) n += NextCodePoint(s, pos) >= 0x10000 ? 2 : 1;
  return n;
}

std::string_view Utf8Prefix(std::string_view s, std::size_t maxUnits) {
  if (s.size() <= maxUnits) return s;  // every unit takes at least one byte
  std::size_t units = 0, pos = 0;
  while (pos < s.size()) {
    std::size_t next = pos;
    const std::size_t add = NextCodePoint(s, next) >= 0x10000 ? 2 : 1;
    if (units + add > maxUnits) break;
    units += add;
    pos = next;
  }
  return s.substr(0, pos);
}

}  // namespace ks
