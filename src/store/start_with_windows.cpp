#include "store/start_with_windows.h"

#include <algorithm>

namespace ks {

namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

std::string ValuePath() {
  return std::string("HKEY_CURRENT_USER\\") + kRunKey + "\\" + kRunValueName;
}

}  // namespace

std::string RunCommand(std::string_view exePath) { return "\"" + std::string(exePath) + "\""; }

bool StartsWithWindows(RunValue& value, std::string_view exePath) {
  const std::optional<std::string> text = value.Read();
  if (!text) return false;
  std::string_view path = Trimmed(*text);
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
    path = path.substr(1, path.size() - 2);
  return !exePath.empty() &&
         std::equal(path.begin(), path.end(), exePath.begin(), exePath.end(),
                    [](char a, char b) { return Lower(a) == Lower(b); });
}

std::optional<std::string> SetStartWithWindows(RunValue& value, std::string_view exePath,
                                               bool on) {
  if (on) {
    if (value.Write(RunCommand(exePath))) return std::nullopt;
    return "Unable to write " + ValuePath() + "\nKeystrum will not start with Windows.";
  }
  if (!StartsWithWindows(value, exePath) || value.Remove()) return std::nullopt;
  return "Unable to remove " + ValuePath() + "\nKeystrum still starts with Windows.";
}

}  // namespace ks
