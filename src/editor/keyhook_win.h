#pragma once
// The program's side of keystrum.dll: loads the recorder's hook library from the program's
// own folder when recording is first asked for, and forwards Start/Stop to it. Without the library, recording is simply not
// available; everything else of the program works as before.
#include <windows.h>

#include <memory>
#include <string>

namespace ks::editor {

inline constexpr const char* kKeyHookLibraryName = "keystrum.dll";

// Shown (titled "Keystrum") when the user asks to record and the library is not there.
inline constexpr const char* kKeyHookMissingMessage =
    "The keystroke recorder keystrum.dll could not be loaded, so recording is not available.";

class KeyHookLibrary {
 public:
  // keystrum.dll of the folder of the running program.
  KeyHookLibrary();
  // keystrum.dll of `folder` (a full path in UTF-8, with or without a trailing backslash),
  // so a folder named in any script will do.
  explicit KeyHookLibrary(const std::string& folder);
  // Stops a capture this object started before the library goes: the library cannot be
  // unmapped under its own running hook.
  ~KeyHookLibrary();

  KeyHookLibrary(const KeyHookLibrary&) = delete;
  KeyHookLibrary& operator=(const KeyHookLibrary&) = delete;

  // True when the library loads and both entry points were found. The first question
  // loads it: a program start that never records never pays for it.
  bool Available() const {
    Load();
    return start_ != nullptr && stop_ != nullptr;
  }
  // True when the library delivers the characters the other program received, with the
  // layout, Shift, Caps Lock and dead keys applied (ours says so by an export it never
  // has called); false for a library that delivers the keys' unshifted characters.
  bool CharactersAsTyped() const {
    Load();
    return charactersAsTyped_;
  }
  // The full path the library was (or would have been) loaded from.
  const std::string& Path() const { return path_; }

  // Starts capturing for `receiver`; false when unavailable or the library refused.
  bool Start(HWND receiver);
  // Ends the capture; nothing happens when unavailable or not capturing.
  void Stop();

 private:
  using StartFn = BOOL(WINAPI*)(HWND);
  using StopFn = BOOL(WINAPI*)();
  struct ModuleFree {
    void operator()(HMODULE m) const {
      if (m) FreeLibrary(m);
    }
  };

  // Loads the library once; later calls do nothing.
  void Load() const;

  std::string path_;
  mutable bool loadTried_ = false;
  mutable std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFree> module_;
  mutable StartFn start_ = nullptr;
  mutable StopFn stop_ = nullptr;
  bool started_ = false;
  mutable bool charactersAsTyped_ = false;
};

// The folder of the running program, UTF-8, with a trailing backslash.
std::string ProgramFolder();

}  // namespace ks::editor
