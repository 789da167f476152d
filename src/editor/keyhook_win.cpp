#include "editor/keyhook_win.h"

#include "text/codepage_win.h"

namespace ks::editor {

namespace {

// GetProcAddress hands back a generic function pointer; the detour through void(*)() is the
// conversion the compiler accepts without complaint.
template <typename Fn>
Fn Resolve(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

std::string ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::string();
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);  // truncated: long path, try with more room
  }
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::string() : Utf8(path.substr(0, slash + 1));
}

KeyHookLibrary::KeyHookLibrary() : KeyHookLibrary(ProgramFolder()) {}

KeyHookLibrary::KeyHookLibrary(const std::string& folder) {
  path_ = folder;
  if (!path_.empty() && path_.back() != '\\' && path_.back() != '/') path_ += '\\';
  path_ += kKeyHookLibraryName;
}

KeyHookLibrary::~KeyHookLibrary() {
  if (started_) Stop();
}

void KeyHookLibrary::Load() const {
  if (loadTried_) return;
  loadTried_ = true;
  // Only ever the copy beside the program: a bare name would let the search path (the
  // current folder among others) supply some other keystrum.dll. A relative path would
  // be searched too, so nothing but a full path is tried.
  const bool fullPath =
      path_.size() > 2 && (path_[1] == ':' || (path_[0] == '\\' && path_[1] == '\\'));
  if (!fullPath) return;
  // A damaged file must not raise a system error box on top of the program.
  DWORD oldMode = 0;
  const bool modeSet =
      SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode) != FALSE;
  module_.reset(LoadLibraryExW(Wide(path_).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  if (modeSet) SetThreadErrorMode(oldMode, nullptr);
  if (!module_) return;
  start_ = Resolve<StartFn>(module_.get(), "KeyHook_Start");
  stop_ = Resolve<StopFn>(module_.get(), "KeyHook_Stop");
  if (!start_ || !stop_) {
    start_ = nullptr;
    stop_ = nullptr;
    module_.reset();
    return;
  }
  charactersAsTyped_ = GetProcAddress(module_.get(), "KeyHook_CharactersAsTyped") != nullptr;
}

bool KeyHookLibrary::Start(HWND receiver) {
  if (!Available()) return false;
  started_ = true;  // even a refused start may have ended an earlier capture; Stop is harmless
  return start_(receiver) != FALSE;
}

void KeyHookLibrary::Stop() {
  if (!start_ || !stop_) return;  // never loaded, so never started
  stop_();
  started_ = false;
}

}  // namespace ks::editor
