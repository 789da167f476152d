#include "store/start_with_windows_win.h"

#include <windows.h>

#include "text/codepage_win.h"

namespace ks {

std::optional<std::string> WinRunValue::Read() {
  const std::wstring key = Wide(kRunKey), name = Wide(kRunValueName);
  DWORD type = 0, bytes = 0;
  LSTATUS r = RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_ANY, &type,
                           nullptr, &bytes);
  if (r == ERROR_FILE_NOT_FOUND) return std::nullopt;
  // Another type, or a value that cannot be read, starts no copy of ours.
  if (r != ERROR_SUCCESS || type != REG_SZ) return std::string();
  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  r = RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                   text.data(), &bytes);
  if (r != ERROR_SUCCESS) return std::string();
  text.resize(wcsnlen(text.c_str(), text.size()));
  return Utf8(text);
}

bool WinRunValue::Write(const std::string& text) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, Wide(kRunKey).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const std::wstring data = Wide(text);
  const LSTATUS r = RegSetValueExW(key, Wide(kRunValueName).c_str(), 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(data.c_str()),
                                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return r == ERROR_SUCCESS;
}

bool WinRunValue::Remove() {
  HKEY key = nullptr;
  LSTATUS r = RegOpenKeyExW(HKEY_CURRENT_USER, Wide(kRunKey).c_str(), 0, KEY_SET_VALUE, &key);
  if (r == ERROR_FILE_NOT_FOUND) return true;
  if (r != ERROR_SUCCESS) return false;
  r = RegDeleteValueW(key, Wide(kRunValueName).c_str());
  RegCloseKey(key);
  return r == ERROR_SUCCESS || r == ERROR_FILE_NOT_FOUND;
}

}  // namespace ks
