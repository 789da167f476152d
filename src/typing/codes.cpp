#include "typing/codes.h"

namespace ks {

const TypeCode* FindTypeCode(std::string_view inner) {
  const std::string upper = UpperAscii(std::string(inner));
  for (const TypeCode& c : kTypeCodes) {
    if (c.TakesArgument() ? upper.starts_with(c.Name) : upper == c.Name) return &c;
  }
  return nullptr;
}

std::string KeyCodeText(std::uint8_t key) {
  for (const TypeCode& c : kTypeCodes) {
    if (c.Action != CodeAction::Key || c.Key != key) continue;
    std::string text = "{";
    for (char ch : c.Name) text += static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
    return text + "}";
  }
  return {};
}

std::string UpperAscii(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

std::string CleanButtonText(std::string_view text) {
  static const std::string enter = KeyCodeText(vk::Return), tab = KeyCodeText(vk::Tab);
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += enter;
    } else if (c == '\t') {
      out += tab;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace ks
