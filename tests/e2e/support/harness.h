#pragma once
// Drives the real keystrum.exe the way a user would: started in a folder of its own with
// prepared files, found through its window classes, clicked with real mouse input.
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "contract.h"
#include "helpers/target_window.h"

namespace ks::e2e {

// Folder of the running test executable, with a trailing backslash.
std::string ExeDir();
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// The names of the files (not folders) in the folder `dir`, given with a trailing backslash.
std::set<std::string> FilesIn(const std::string& dir);
// Removes the folder `dir`, given with a trailing backslash, with its files and folders.
void RemoveFolder(const std::string& dir);

// Polls `cond` every 20 ms until it holds or `ms` pass.
bool WaitFor(const std::function<bool()>& cond, int ms = 10000);

// Top-level windows of class `cls` owned by process `pid` (visible or not).
std::vector<HWND> FindWindowsOf(DWORD pid, const char* cls);
HWND FindWindowOf(DWORD pid, const char* cls);
// The first visible top-level window of `pid` whose class is `cls` (e.g. "#32770").
HWND FindVisibleWindowOf(DWORD pid, const char* cls);
// "class 'title' visible" of every top-level window of `pid`: for failure messages.
std::string DescribeWindows(DWORD pid);
std::string ClassOf(HWND h);
// Text of any window, also of another process's, of any length; empty when the window
// does not answer within seconds.
std::string TextOf(HWND h);
// The same as UTF-8, read through the wide message: the text of a control in any script,
// of any length.
std::string Utf8TextOf(HWND h);
// The child of `parent` with class `cls` and, when given, text `text`.
HWND FindChild(HWND parent, const char* cls, const char* text = nullptr);
// The texts of a box's Static children that have one, each followed by "|": a message box's
// text sits beside its icon, a Static without text.
std::string StaticTexts(HWND box);

// The centre of a window, in screen coordinates.
POINT CentreOf(HWND h);
// Moves the pointer to (x, y) and lets it rest, so the display's own pointer has caught
// up before a press: a lagging one can end a drop-down or misplace the press.
void RestAt(int x, int y);

// Real input, as a user gives it.
// One mouse event at (x, y) with `buttonFlags` (MOUSEEVENTF_LEFTDOWN...). Every event carries
// its own position: under Wine an event sent right after SetCursorPos may otherwise land
// where the pointer was before.
void SendMouseAt(int x, int y, DWORD buttonFlags);
void MoveMouse(int x, int y);
void Click(int x, int y, bool right = false);
void MouseDown(int x, int y, bool right = false);
void MouseUp(int x, int y, bool right = false);
// Clicks the centre of a window.
void ClickWindow(HWND h, bool right = false);
void PressKey(WORD vk);
// `vk` pressed while `modifier` (VK_CONTROL, VK_SHIFT...) is held: Ctrl+V, Ctrl+End.
void PressWith(WORD modifier, WORD vk);
// Puts `utf8` on the clipboard as text, as a user's copy does.
bool SetClipboardText(const std::string& utf8);
void TypeText(const std::string& ascii);
// One key event of the user's own, untagged: `vk` goes down, or comes up.
void Key(WORD vk, bool up);
// Characters of any script (UTF-8) as an input method or an on-screen keyboard sends
// them: Unicode input, one UTF-16 unit per key, whatever the keyboard layout.
void TypeUnicode(const std::string& utf8);

// The screen inside `area` as 24-bit rows, bottom row first (empty on failure).
std::string ScreenPixels(const RECT& area);
// Writes the screen inside `area` as a 24-bit BMP file: for pictures of the real program.
bool SaveScreenBitmap(const std::string& path, const RECT& area);

// The visible message box of process `pid`, or null after `ms`.
HWND MessageBoxOf(DWORD pid, int ms = 10000);
// The first of StaticTexts: what a message box says.
std::string MessageText(HWND box);

// While it lives, documents of the given types ("html", "hlp") open in doc_viewer.exe
// instead of the programs the system has for them; it closes the viewers it saw opened.
class DocumentViewer {
 public:
  explicit DocumentViewer(std::vector<std::string> types);
  ~DocumentViewer();
  DocumentViewer(const DocumentViewer&) = delete;
  DocumentViewer& operator=(const DocumentViewer&) = delete;
  bool registered() const { return registered_; }
  // The viewer window showing `document` (a full path, compared without case), or null
  // after `ms`.
  HWND Showing(const std::string& document, int ms = 10000);
  // Closes every open viewer and waits for them to end.
  void CloseAll();

 private:
  struct Type {
    std::string key;  // ".html"
    bool existed;
    std::string before;
  };
  std::vector<Type> types_;
  bool registered_ = false;
};
// With KS_E2E_SHOTS naming a folder, the moments worth a picture are saved there as NAME.bmp,
// the screen around `windows` widened by `margin`; without it nothing is saved. False when
// a picture could not be saved.
bool Picture(const char* name, std::initializer_list<HWND> windows, int margin);

// The program the user types into: typing_target.exe, whose window holds one multi-line
// Edit.
class TypingTarget {
 public:
  TypingTarget() = default;
  ~TypingTarget();
  TypingTarget(const TypingTarget&) = delete;
  TypingTarget& operator=(const TypingTarget&) = delete;

  // Starts the program (with `args`, e.g. "--no-log") and waits for its window and Edit;
  // `exe`, when given, is the full path of a copy of it under another program's name.
  bool Start(const std::string& args = {}, const std::string& exe = {});
  HWND main() const { return main_; }
  HWND edit() const { return edit_; }
  std::string Text() const { return TextOf(edit_); }
  void Clear() const { SendMessageA(main_, helpers::kTargetClear, 0, 0); }
  // Clicks its caption, as a user switching back to it (the caret stays where it was);
  // true once it has the foreground.
  bool Focus();

 private:
  HANDLE process_ = nullptr;
  HWND main_ = nullptr;
  HWND edit_ = nullptr;
};

class Keystrum {
 public:
  // A fresh folder with a copy of keystrum.exe (and keystrum.dll when built); `exe` names
  // another build of the program to copy there under that name (keystrum_probe.exe).
  explicit Keystrum(const char* exe = "keystrum.exe");
  // A folder whose every file is copied into the fresh folder (e.g. an unzipped package);
  // it ends in a backslash.
  struct FolderCopy {
    std::string folder;
  };
  explicit Keystrum(const FolderCopy& from);
  ~Keystrum();
  Keystrum(const Keystrum&) = delete;
  Keystrum& operator=(const Keystrum&) = delete;

  const std::string& dir() const { return dir_; }
  std::string IniPath() const { return dir_ + "keystrum.ini"; }
  std::string DatPath() const { return dir_ + "keystrum.dat"; }
  void WriteIni(const std::string& text) { WriteFileBytes(IniPath(), text); }
  void WriteDat(const std::string& text) { WriteFileBytes(DatPath(), text); }
  std::string Ini() const { return ReadFileBytes(IniPath()); }
  std::string Dat() const { return ReadFileBytes(DatPath()); }

  // Starts the program and waits for its tray icon window. False on failure.
  bool Start();
  // Starts a second copy of the same exe and returns its process handle (caller closes).
  HANDLE StartAnother();
  DWORD pid() const { return pid_; }
  HANDLE process() const { return process_; }
  bool Running() const;

  HWND Bar() const { return FindWindowOf(pid_, contract::kBarClass); }
  HWND TrayIconWindow() const { return FindWindowOf(pid_, contract::kTrayIconClass); }
  HWND TrayForm() const { return FindWindowOf(pid_, contract::kTrayFormClass); }
  HWND Button(int i) const;
  // Where button `i` is on the screen.
  RECT ButtonRect(int i) const;
  HWND GroupList() const;

  // A popup menu of the program is open.
  bool MenuOpens(int ms = 3000) const;
  // The menu is gone and the program has left its menu loop: a press that came while the
  // loop was still ending would be taken by it instead of by the bar.
  bool MenuCloses(int ms = 3000) const;

  // A left click on the tray icon: shows the bar.
  void TrayClick();
  // The items of the tray icon's menu, in their order.
  enum TrayItem {
    kTrayFind,
    kTrayAbout,
    kTrayReadHelp,
    kTrayWebSite,
    kTrayExit,
    kTrayAbbreviations,
    kTrayStartWithWindows,
    kTrayFollowPrograms
  };
  // A right click on the tray icon, then a click on `item` of its menu. False when no
  // menu opened.
  bool TrayMenu(TrayItem item);
  // Ends the program through the tray form, as "Exit" does, and waits for it.
  bool Exit(int ms = 15000);
  // Ends the program without any of its own work, as a crash or a kill would.
  void Kill();
  // Waits for the process to end.
  bool WaitExit(int ms = 15000);

  // Client size of the bar.
  SIZE BarClient() const;

 private:
  std::string dir_;
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

}  // namespace ks::e2e
