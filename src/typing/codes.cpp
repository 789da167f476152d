#include "typing/codes.h"

#include <algorithm>

#include "text/utf.h"

namespace ks {

namespace {

// RUN, LIST, WAIT and INPUT arguments are cut to this many UTF-16 units, silently, never
// inside a character.
constexpr std::size_t kMaxArgument = 255;

std::string Written(const TypeCode& c) {
  std::string text = "{";
  for (char ch : c.Name) text += static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
  return text + "}";
}

// The table's modifier that `upper` begins with.
const TypeCode* ModifierAt(std::string_view upper) {
  for (const TypeCode& c : kTypeCodes)
    if (c.IsModifier() && upper.starts_with(c.Name)) return &c;
  return nullptr;
}

}  // namespace

const TypeCode* FindTypeCode(std::string_view inner) {
  const std::string upper = UpperAscii(std::string(inner));
  for (const TypeCode& c : kTypeCodes) {
    if (c.TakesArgument() || c.IsModifier() ? upper.starts_with(c.Name) : upper == c.Name)
      return &c;
    if (c.BareToo && upper == c.Name.substr(0, c.Name.size() - 1)) return &c;
  }
  return nullptr;
}

std::string KeyCodeText(std::uint8_t key) {
  for (const TypeCode& c : kTypeCodes)
    if (c.Action == CodeAction::Key && c.Key == key) return Written(c);
  return {};
}

std::string CharCodeText(char ch) {
  for (const TypeCode& c : kTypeCodes)
    if (c.Action == CodeAction::Char && c.Char == ch) return Written(c);
  return {};
}

std::optional<Combination> ParseCombination(std::string_view inner) {
  const std::string upper = UpperAscii(std::string(inner));
  Combination combo;
  std::size_t at = 0;
  while (const TypeCode* m = ModifierAt(std::string_view(upper).substr(at))) {
    // A modifier named twice is held once: pressed twice it would never come up twice.
    if (std::find(combo.Modifiers.begin(), combo.Modifiers.end(), m->Key) == combo.Modifiers.end())
      combo.Modifiers.push_back(m->Key);
    at += m->Name.size();
  }
  const std::string_view key = inner.substr(at);
  if (combo.Modifiers.empty() || key.empty()) return std::nullopt;
  const std::string keyUpper = upper.substr(at);
  const TypeCode* named = nullptr;
  for (const TypeCode& c : kTypeCodes)
    if ((c.Action == CodeAction::Key || c.Action == CodeAction::Char) && c.Name == keyUpper)
      named = &c;
  if (named && named->Action == CodeAction::Key) {
    combo.Key = named->Key;
  } else if (named) {
    combo.Char = static_cast<unsigned char>(named->Char);
  } else {
    std::size_t pos = 0;
    combo.Char = NextCodePoint(key, pos);
    if (pos != key.size()) return std::nullopt;  // a name of no key
  }
  auto holds = [&](std::uint8_t m) {
    return std::find(combo.Modifiers.begin(), combo.Modifiers.end(), m) != combo.Modifiers.end();
  };
  // The system takes Ctrl+Alt+Del from the keyboard alone; sent, it would only leave its
  // modifiers' presses in the window.
  if (holds(vk::Control) && holds(vk::Menu) && combo.Key == vk::Delete) return std::nullopt;
  return combo;
}

std::optional<int> WaitMs(std::string_view argument) {
  if (argument.empty()) return std::nullopt;
  int ms = 0;
  for (char c : argument) {
    if (c < '0' || c > '9') return std::nullopt;
    ms = std::min(ms * 10 + (c - '0'), kMaxWaitMs + 1);
  }
  return std::min(ms, kMaxWaitMs);
}

InputField ParseInput(std::string_view argument) {
  InputField field;
  const std::size_t comma = argument.find(',');
  field.Name = std::string(argument.substr(0, comma));
  if (comma != std::string_view::npos) field.Default = std::string(argument.substr(comma + 1));
  if (field.Name.empty()) field.Name = "Input";
  return field;
}

std::vector<InputField> InputFieldsOf(std::string_view text) {
  std::vector<InputField> fields;
  for (std::size_t open = text.find('{'); open != std::string_view::npos;) {
    const std::size_t close = text.find('}', open);
    if (close == std::string_view::npos) break;
    const std::string_view inner = text.substr(open + 1, close - open - 1);
    if (const TypeCode* c = FindTypeCode(inner); c && c->Action == CodeAction::Input) {
      InputField field = ParseInput(CodeArgument(inner, *c));
      if (std::none_of(fields.begin(), fields.end(),
                       [&](const InputField& f) { return f.Name == field.Name; }))
        fields.push_back(std::move(field));
    }
    open = text.find('{', close + 1);
  }
  return fields;
}

std::string CodeArgument(std::string_view inner, const TypeCode& code) {
  if (inner.size() <= code.Name.size()) return {};
  return std::string(Utf8Prefix(inner.substr(code.Name.size()), kMaxArgument));
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
