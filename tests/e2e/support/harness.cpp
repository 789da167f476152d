#include "support/harness.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <type_traits>

#include "text/codepage_win.h"

namespace ks::e2e {

std::string ExeDir() {
  char buf[MAX_PATH * 2];
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  std::string p(buf, n);
  return p.substr(0, p.find_last_of("\\/") + 1);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return f.good();
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::set<std::string> FilesIn(const std::string& dir) {
  std::set<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE f = FindFirstFileA((dir + "*").c_str(), &fd);
  if (f == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(fd.cFileName);
  } while (FindNextFileA(f, &fd));
  FindClose(f);
  return names;
}

void RemoveFolder(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE f = FindFirstFileA((dir + "*").c_str(), &fd);
  if (f != INVALID_HANDLE_VALUE) {
    do {
      const std::string n = fd.cFileName;
      if (n == "." || n == "..") continue;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveFolder(dir + n + "\\");
        continue;
      }
      SetFileAttributesA((dir + n).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA((dir + n).c_str());
    } while (FindNextFileA(f, &fd));
    FindClose(f);
  }
  RemoveDirectoryA(dir.c_str());
}

bool WaitFor(const std::function<bool()>& cond, int ms) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    if (cond()) return true;
    Sleep(20);
  }
  return cond();
}

namespace {

struct Search {
  DWORD pid;
  const char* cls;
  bool visibleOnly;
  std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND h, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid != s->pid) return TRUE;
  if (s->visibleOnly && !IsWindowVisible(h)) return TRUE;
  char cls[256] = {};
  GetClassNameA(h, cls, sizeof cls);
  if (lstrcmpiA(cls, s->cls) == 0) s->found.push_back(h);
  return TRUE;
}

}  // namespace

std::vector<HWND> FindWindowsOf(DWORD pid, const char* cls) {
  Search s{pid, cls, false, {}};
  EnumWindows(&Collect, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND FindWindowOf(DWORD pid, const char* cls) {
  auto v = FindWindowsOf(pid, cls);
  return v.empty() ? nullptr : v.front();
}

HWND FindVisibleWindowOf(DWORD pid, const char* cls) {
  Search s{pid, cls, true, {}};
  EnumWindows(&Collect, reinterpret_cast<LPARAM>(&s));
  return s.found.empty() ? nullptr : s.found.front();
}

std::string DescribeWindows(DWORD pid) {
  std::string out;
  for (const char* cls : {"#32770", contract::kBarClass, contract::kListClass, contract::kEditorClass, contract::kApplicationClass}) {
    for (HWND h : FindWindowsOf(pid, cls)) {
      out += std::string(cls) + " '" + TextOf(h) + "'" + (IsWindowVisible(h) ? " visible" : "") +
             (GetForegroundWindow() == h ? " foreground" : "") + "; ";
    }
  }
  return out;
}

std::string ClassOf(HWND h) {
  char cls[256] = {};
  if (h) GetClassNameA(h, cls, sizeof cls);
  return cls;
}

namespace {

// A message to a window of another process. Wine may never answer a sender whose window
// went while the message waited, as a box's controls do when it closes: a test then fails
// on what it reads instead of hanging.
template <typename Text>
LRESULT Ask(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  constexpr UINT kAnswerMs = 3000;
  DWORD_PTR answer = 0;
  LRESULT ok = 0;
  if constexpr (std::is_same_v<Text, std::wstring>)
    ok = SendMessageTimeoutW(h, msg, wp, lp, SMTO_NORMAL, kAnswerMs, &answer);
  else
    ok = SendMessageTimeoutA(h, msg, wp, lp, SMTO_NORMAL, kAnswerMs, &answer);
  return ok ? static_cast<LRESULT>(answer) : 0;
}

// The text of `h` through the ANSI messages into a std::string, the wide ones into a
// std::wstring.
template <typename Text>
Text TextThrough(HWND h) {
  const LRESULT length = Ask<Text>(h, WM_GETTEXTLENGTH, 0, 0);
  Text buf(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, 0);
  const LRESULT n = Ask<Text>(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(static_cast<size_t>(std::clamp<LRESULT>(n, 0, length)));
  return buf;
}

}  // namespace

std::string TextOf(HWND h) { return TextThrough<std::string>(h); }

std::string Utf8TextOf(HWND h) { return Utf8(TextThrough<std::wstring>(h)); }

HWND FindChild(HWND parent, const char* cls, const char* text) {
  struct S {
    const char* cls;
    const char* text;
    HWND found;
  } s{cls, text, nullptr};
  EnumChildWindows(
      parent,
      [](HWND h, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<S*>(lp);
        char c[256] = {};
        GetClassNameA(h, c, sizeof c);
        if (lstrcmpiA(c, s->cls) != 0) return TRUE;
        if (s->text && TextOf(h) != s->text) return TRUE;
        s->found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

namespace {

std::vector<std::string> TextsOfStatics(HWND box) {
  std::vector<std::string> texts;
  EnumChildWindows(
      box,
      [](HWND h, LPARAM lp) -> BOOL {
        std::string text = TextOf(h);
        if (ClassOf(h) == "Static" && !text.empty())
          reinterpret_cast<std::vector<std::string>*>(lp)->push_back(text);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&texts));
  return texts;
}

}  // namespace

std::string StaticTexts(HWND box) {
  std::string all;
  for (const std::string& t : TextsOfStatics(box)) all += t + "|";
  return all;
}

std::string MessageText(HWND box) {
  std::vector<std::string> texts = TextsOfStatics(box);
  return texts.empty() ? std::string() : texts.front();
}

POINT CentreOf(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void SendMouseAt(int x, int y, DWORD buttonFlags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttonFlags;
  SendInput(1, &in, sizeof in);
}

void RestAt(int x, int y) {
  MoveMouse(x, y);
  Sleep(120);
}

void MoveMouse(int x, int y) {
  SetCursorPos(x, y);
  SendMouseAt(x, y, 0);
  WaitFor([&] {
    POINT now{};
    GetCursorPos(&now);
    return now.x == x && now.y == y;
  }, 1000);
}

void MouseDown(int x, int y, bool right) {
  MoveMouse(x, y);
  SendMouseAt(x, y, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
}

void MouseUp(int x, int y, bool right) {
  SendMouseAt(x, y, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

void Click(int x, int y, bool right) {
  MouseDown(x, y, right);
  Sleep(30);
  // A late move from an earlier warp of the pointer (MoveMouse) can take it off the
  // control between the two, and a button let go of outside its pushed state does not
  // click: the pointer comes back onto it first.
  SendMouseAt(x, y, 0);
  MouseUp(x, y, right);
}

void ClickWindow(HWND h, bool right) {
  RECT r{};
  GetWindowRect(h, &r);
  Click((r.left + r.right) / 2, (r.top + r.bottom) / 2, right);
}

void Key(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof in);
}

void PressKey(WORD vk) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

void PressWith(WORD modifier, WORD vk) {
  INPUT in[4] = {};
  for (INPUT& i : in) i.type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[3].ki.wVk = modifier;
  in[1].ki.wVk = in[2].ki.wVk = vk;
  in[2].ki.dwFlags = in[3].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(4, in, sizeof(INPUT));
}

bool SetClipboardText(const std::string& utf8) {
  const std::wstring text = Wide(utf8);
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  bool ok = false;
  if (mem) {
    std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(GlobalLock(mem)));
    GlobalUnlock(mem);
    ok = SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
    if (!ok) GlobalFree(mem);
  }
  CloseClipboard();
  return ok;
}

void TypeUnicode(const std::string& utf8) {
  for (wchar_t unit : Wide(utf8)) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wScan = in[1].ki.wScan = static_cast<WORD>(unit);
    in[0].ki.dwFlags = KEYEVENTF_UNICODE;
    in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
  }
}

void TypeText(const std::string& ascii) {
  for (char c : ascii) {
    SHORT r = VkKeyScanA(c);
    bool shift = (r >> 8) & 1;
    if (shift) Key(VK_SHIFT, false);
    PressKey(static_cast<WORD>(r & 0xFF));
    if (shift) Key(VK_SHIFT, true);
  }
}

std::string ScreenPixels(const RECT& area) {
  const int w = area.right - area.left, h = area.bottom - area.top;
  if (w <= 0 || h <= 0) return {};
  auto releaseScreen = [](HDC dc) { ReleaseDC(nullptr, dc); };
  std::unique_ptr<HDC__, decltype(releaseScreen)> screen(GetDC(nullptr), releaseScreen);
  std::unique_ptr<HDC__, decltype(&DeleteDC)> mem(CreateCompatibleDC(screen.get()), &DeleteDC);
  auto deleteBitmap = [](HBITMAP b) { DeleteObject(b); };
  std::unique_ptr<HBITMAP__, decltype(deleteBitmap)> bmp(
      CreateCompatibleBitmap(screen.get(), w, h), deleteBitmap);
  if (!screen || !mem || !bmp) return {};
  HGDIOBJ old = SelectObject(mem.get(), bmp.get());
  BitBlt(mem.get(), 0, 0, w, h, screen.get(), area.left, area.top, SRCCOPY);
  SelectObject(mem.get(), old);
  BITMAPINFOHEADER bi{};
  bi.biSize = sizeof bi;
  bi.biWidth = w;
  bi.biHeight = h;  // bottom-up, as BMP files store it
  bi.biPlanes = 1;
  bi.biBitCount = 24;
  bi.biCompression = BI_RGB;
  const int stride = (w * 3 + 3) & ~3;
  std::string pixels(static_cast<size_t>(stride) * h, '\0');
  if (GetDIBits(mem.get(), bmp.get(), 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi),
                DIB_RGB_COLORS) != h)
    return {};
  return pixels;
}

bool SaveScreenBitmap(const std::string& path, const RECT& area) {
  const std::string pixels = ScreenPixels(area);
  if (pixels.empty()) return false;
  BITMAPINFOHEADER bi{};
  bi.biSize = sizeof bi;
  bi.biWidth = area.right - area.left;
  bi.biHeight = area.bottom - area.top;
  bi.biPlanes = 1;
  bi.biBitCount = 24;
  bi.biCompression = BI_RGB;
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;  // "BM"
  fh.bfOffBits = sizeof fh + sizeof bi;
  fh.bfSize = fh.bfOffBits + static_cast<DWORD>(pixels.size());
  std::string file(reinterpret_cast<const char*>(&fh), sizeof fh);
  file.append(reinterpret_cast<const char*>(&bi), sizeof bi);
  file += pixels;
  return WriteFileBytes(path, file);
}

HWND MessageBoxOf(DWORD pid, int ms) {
  HWND box = nullptr;
  WaitFor([&] { return (box = FindVisibleWindowOf(pid, "#32770")) != nullptr; }, ms);
  return box;
}

// ---- DocumentViewer ----

namespace {

constexpr const char* kViewerProgId = "KsTest.Document";

// The default value of a key of HKEY_CLASSES_ROOT; false when the key does not exist.
bool ClassValue(const std::string& key, std::string* value) {
  char buf[1024];
  LONG size = sizeof buf;
  if (RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), buf, &size) != ERROR_SUCCESS) return false;
  *value = std::string(buf, size > 0 ? static_cast<size_t>(size - 1) : 0);
  return true;
}

bool SetClassValue(const std::string& key, const std::string& value) {
  return RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value.c_str(),
                      static_cast<DWORD>(value.size())) == ERROR_SUCCESS;
}

std::vector<HWND> Viewers() {
  std::vector<HWND> found;
  EnumWindows(
      [](HWND h, LPARAM lp) -> BOOL {
        if (ClassOf(h) == "KsDocViewer") reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

// Under Wine the shell reads file types from the machine's classes only, not the user's,
// so the machine's entries are changed and put back afterwards.
DocumentViewer::DocumentViewer(std::vector<std::string> types) {
  registered_ = SetClassValue(std::string(kViewerProgId) + "\\shell\\open\\command",
                              "\"" + ExeDir() + "doc_viewer.exe\" \"%1\"");
  for (const std::string& type : types) {
    Type t{"." + type, false, {}};
    t.existed = ClassValue(t.key, &t.before);
    types_.push_back(t);
    registered_ = SetClassValue(t.key, kViewerProgId) && registered_;
  }
}

DocumentViewer::~DocumentViewer() {
  CloseAll();
  for (const Type& t : types_) {
    if (t.existed)
      SetClassValue(t.key, t.before);
    else
      RegDeleteTreeA(HKEY_CLASSES_ROOT, t.key.c_str());
  }
  RegDeleteTreeA(HKEY_CLASSES_ROOT, kViewerProgId);
}

HWND DocumentViewer::Showing(const std::string& document, int ms) {
  HWND showing = nullptr;
  WaitFor(
      [&] {
        for (HWND h : Viewers())
          if (lstrcmpiA(TextOf(h).c_str(), document.c_str()) == 0) showing = h;
        return showing != nullptr;
      },
      ms);
  return showing;
}

void DocumentViewer::CloseAll() {
  for (HWND h : Viewers()) PostMessageA(h, WM_CLOSE, 0, 0);
  WaitFor([] { return Viewers().empty(); }, 10000);
}

// ---- TypingTarget ----

TypingTarget::~TypingTarget() {
  if (!process_) return;
  TerminateProcess(process_, 0);
  WaitForSingleObject(process_, 5000);
  CloseHandle(process_);
}

bool TypingTarget::Start(const std::string& args, const std::string& exe) {
  std::string cmd = "\"" + (exe.empty() ? ExeDir() + "typing_target.exe" : exe) + "\" " + args;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  process_ = pi.hProcess;
  // The window is found as soon as it exists, which is before its Edit is made.
  return WaitFor([&] {
    main_ = FindWindowOf(pi.dwProcessId, helpers::kTypingTargetClass);
    edit_ = main_ ? FindChild(main_, "Edit") : nullptr;
    return edit_ != nullptr;
  });
}

bool TypingTarget::Focus() {
  RECT r{};
  GetWindowRect(main_, &r);
  int x = (r.left + r.right) / 2, y = r.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2;
  for (int attempt = 0; attempt < 3 && GetForegroundWindow() != main_; ++attempt) {
    RestAt(x, y);
    Click(x, y);
    WaitFor([&] { return GetForegroundWindow() == main_; }, 3000);
  }
  return GetForegroundWindow() == main_;
}

// ---- Keystrum ----

namespace {

std::string FreshFolder() {
  static std::atomic<int> counter{0};
  char tmp[MAX_PATH];
  GetTempPathA(sizeof tmp, tmp);
  std::string dir = std::string(tmp) + "ks-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
                    std::to_string(counter++) + "\\";
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

}  // namespace

Keystrum::Keystrum(const char* exe) : dir_(FreshFolder()) {
  std::string src = ExeDir();
  CopyFileA((src + exe).c_str(), (dir_ + "keystrum.exe").c_str(), FALSE);
  if (FileExists(src + "keystrum.dll"))
    CopyFileA((src + "keystrum.dll").c_str(), (dir_ + "keystrum.dll").c_str(), FALSE);
}

Keystrum::Keystrum(const FolderCopy& from) : dir_(FreshFolder()) {
  WIN32_FIND_DATAA fd;
  HANDLE f = FindFirstFileA((from.folder + "*").c_str(), &fd);
  if (f == INVALID_HANDLE_VALUE) return;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      CopyFileA((from.folder + fd.cFileName).c_str(), (dir_ + fd.cFileName).c_str(), FALSE);
  } while (FindNextFileA(f, &fd));
  FindClose(f);
}

Keystrum::~Keystrum() {
  if (Running()) Kill();
  if (process_) CloseHandle(process_);
  RemoveFolder(dir_);
}

static HANDLE Launch(const std::string& dir, DWORD* pid) {
  std::string cmd = "\"" + dir + "keystrum.exe\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si,
                      &pi))
    return nullptr;
  CloseHandle(pi.hThread);
  if (pid) *pid = pi.dwProcessId;
  return pi.hProcess;
}

bool Keystrum::Start() {
  if (process_) CloseHandle(process_);  // a test may start the program again after an exit
  process_ = Launch(dir_, &pid_);
  if (!process_) return false;
  return WaitFor([&] { return Bar() != nullptr || !Running(); }, 20000) && Running() &&
         WaitFor([&] { return TrayIconWindow() != nullptr; });
}

HANDLE Keystrum::StartAnother() { return Launch(dir_, nullptr); }

bool Keystrum::Running() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

HWND Keystrum::Button(int i) const {
  HWND bar = Bar();
  return bar ? GetDlgItem(bar, contract::kBarButtonIdBase + i) : nullptr;
}

RECT Keystrum::ButtonRect(int i) const {
  RECT r{};
  GetWindowRect(Button(i), &r);
  return r;
}

HWND Keystrum::GroupList() const { return FindChild(Bar(), "ComboBox"); }

bool Keystrum::MenuOpens(int ms) const {
  return WaitFor([&] { return FindVisibleWindowOf(pid_, "#32768") != nullptr; }, ms);
}

bool Keystrum::MenuCloses(int ms) const {
  DWORD thread = GetWindowThreadProcessId(Bar(), nullptr);
  return WaitFor([&] {
    GUITHREADINFO gti{};
    gti.cbSize = sizeof gti;
    return FindVisibleWindowOf(pid_, "#32768") == nullptr && GetGUIThreadInfo(thread, &gti) &&
           !(gti.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)) && gti.hwndCapture == nullptr;
  }, ms);
}

void Keystrum::TrayClick() {
  // Posted, as the shell does: the program handles it on its own thread.
  PostMessageA(TrayIconWindow(), contract::kTrayCallback, 0, WM_LBUTTONUP);
}

bool Keystrum::TrayMenu(TrayItem item) {
  // A menu that is still closing would count as the new one.
  if (!MenuCloses()) return false;
  PostMessageA(TrayIconWindow(), contract::kTrayCallback, 0, WM_RBUTTONUP);
  HWND menu = nullptr;
  if (!WaitFor([&] { return (menu = FindVisibleWindowOf(pid_, "#32768")) != nullptr; }, 3000))
    return false;
  Sleep(150);
  // The item is clicked, not chosen by keyboard: the menu takes keys only while its program
  // has the foreground, which Wine may refuse it when no window had the foreground before.
  // Eight items and four separators half an item high: Find..., -, About, -, Read Help
  // File, Web Site, -, Abbreviations, Follow Programs, Start with Windows, -, Exit, 20 half
  // items in all, whose middles lie at these halves (in the order of TrayItem).
  static constexpr int kMiddles[] = {1, 4, 7, 9, 19, 12, 16, 14};
  RECT r{};
  GetWindowRect(menu, &r);
  const int x = (r.left + r.right) / 2;
  const int y = r.top + (r.bottom - r.top) * kMiddles[item] / 20;
  RestAt(x, y);
  Click(x, y);
  return true;
}

bool Keystrum::Exit(int ms) {
  HWND tray = TrayForm();
  if (!tray) return false;
  PostMessageA(tray, WM_CLOSE, 0, 0);
  return WaitExit(ms);
}

void Keystrum::Kill() {
  if (!process_) return;
  TerminateProcess(process_, 9);
  WaitForSingleObject(process_, 10000);
}

bool Keystrum::WaitExit(int ms) {
  return process_ && WaitForSingleObject(process_, static_cast<DWORD>(ms)) == WAIT_OBJECT_0;
}

SIZE Keystrum::BarClient() const {
  RECT r{};
  GetClientRect(Bar(), &r);
  return SIZE{r.right, r.bottom};
}

bool Picture(const char* name, std::initializer_list<HWND> windows, int margin) {
  char dir[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("KS_E2E_SHOTS", dir, sizeof dir)) return true;
  RECT all{};
  for (HWND h : windows) {
    RECT r{};
    GetWindowRect(h, &r);
    UnionRect(&all, &all, &r);
  }
  InflateRect(&all, margin, margin);
  Sleep(1000);  // a menu just opened is still being drawn
  return SaveScreenBitmap(std::string(dir) + "\\" + name + ".bmp", all);
}

}  // namespace ks::e2e
