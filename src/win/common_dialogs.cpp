#include "win/common_dialogs.h"

#include <memory>

namespace ks::win {

namespace {

struct LibraryFreer {
  void operator()(HMODULE m) const { FreeLibrary(m); }
};

// Loaded at the first use and kept: whoever opened one dialog may well open it again.
// comdlg32 is one of the system's known libraries, so the bare name cannot be served
// from the program's or the current folder.
HMODULE CommonDialogs() {
  static const std::unique_ptr<HINSTANCE__, LibraryFreer> library(LoadLibraryW(L"comdlg32.dll"));
  return library.get();
}

// GetProcAddress hands back a generic function pointer; the detour through void(*)() is the
// conversion the compiler accepts without complaint.
template <typename Fn>
Fn Resolve(const char* name) {
  HMODULE m = CommonDialogs();
  return m ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(m, name)))
           : nullptr;
}

}  // namespace

bool PickFont(CHOOSEFONTW& cf) {
  static const auto choose = Resolve<BOOL(WINAPI*)(LPCHOOSEFONTW)>("ChooseFontW");
  return choose && choose(&cf);
}

bool PickColor(CHOOSECOLORA& cc) {
  static const auto choose = Resolve<BOOL(WINAPI*)(LPCHOOSECOLORA)>("ChooseColorA");
  return choose && choose(&cc);
}

}  // namespace ks::win
