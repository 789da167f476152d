// Opens one of the program's dialogs or forms on request, so that tests and people can
// drive it, and writes what it returned. Usage:
//   windows_demo [--out FILE] list ENTRY,ENTRY,...
//   windows_demo [--out FILE] input CAPTION PROMPT [DEFAULT [preselect]]
//   windows_demo [--out FILE] message TEXT
//   windows_demo [--out FILE] confirm TEXT [TITLE]
//   windows_demo [--out FILE] editor CAPTION [NAME HINT TEXT COLOR SHORTCUT]
//   windows_demo [--out FILE] editor-keys CAPTION NAME HINT TEXT COLOR SHORTCUT
// editor-keys installs memo key handlers that log what they see ("Keys=" line: P<code>
// per character, D<vk>/U<vk> per key down/up, C per text change, R per click on Record,
// X per deactivation), swallow "#" and turn
// "a" into "A", so that tests can check what the handlers are given.
// The first output line is "OK" when the user confirmed, "NONE" otherwise; the values
// follow as KEY=VALUE lines.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "editor/editor_window_win.h"
#include "text/codepage_win.h"
#include "typing/list_win.h"
#include "win/dialogs.h"
#include "win/window.h"

namespace {

class Owner : public ks::win::Window {
 public:
  bool Create() {
    return CreateWin("KsDemoOwner", 0, "Keystrum demo", WS_POPUP, 0, 0, 0, 0, nullptr);
  }
};

std::vector<std::string> SplitCommas(const std::string& s) {
  std::vector<std::string> out;
  size_t start = 0;
  for (;;) {
    size_t c = s.find(',', start);
    out.push_back(s.substr(start, c == std::string::npos ? std::string::npos : c - start));
    if (c == std::string::npos) break;
    start = c + 1;
  }
  return out;
}

int Usage() {
  std::fputs(
      "usage: windows_demo [--out FILE] list A,B,C | input CAPTION PROMPT [DEFAULT [preselect]]"
      " | message TEXT | confirm TEXT [TITLE] | editor CAPTION [NAME HINT TEXT COLOR SHORTCUT]\n",
      stderr);
  return 2;
}

// The editor-keys handlers: each logs what it is given, "#" is swallowed and "a" made "A".
void LogMemoKeys(ks::editor::EditorWindow& editor, std::string& keys) {
  ks::editor::EditorWindow::MemoEvents ev;
  ev.KeyDown = [&keys](ks::editor::EditorWindow&, WPARAM& vk) {
    keys.append("D").append(std::to_string(vk)).append(" ");
    return false;
  };
  ev.KeyUp = [&keys](ks::editor::EditorWindow&, WPARAM vk) {
    keys.append("U").append(std::to_string(vk)).append(" ");
  };
  ev.KeyPress = [&keys](ks::editor::EditorWindow&, WPARAM& ch) {
    keys.append("P").append(std::to_string(ch)).append(" ");
    if (ch == 'a') ch = 'A';
    return ch == '#';
  };
  ev.Change = [&keys](ks::editor::EditorWindow&) { keys += "C "; };
  editor.SetMemoEvents(std::move(ev));
  editor.OnRecordToggled = [&keys](ks::editor::EditorWindow& form) {
    keys += "R ";
    ks::win::SetText(form.recordButton(), "Stop");
    form.SetHint(form.recordButton(), "Stop Recording");
  };
  editor.OnDeactivate = [&keys](ks::editor::EditorWindow&) { keys += "X "; };
}

// What the user did: confirmed or not, and the values as KEY=VALUE lines.
struct Outcome {
  bool ok = false;
  std::string values;
};

// The editor (or editor-keys) with the fields in args[2..6] when given; nullopt when it
// could not be made.
std::optional<Outcome> RunEditor(HWND owner, HICON icon, const std::vector<std::string>& args) {
  const bool logKeys = args[0] == "editor-keys";
  ks::editor::EditorWindow editor;
  if (!editor.Create(owner, icon)) return std::nullopt;
  std::string keys;
  if (logKeys) LogMemoKeys(editor, keys);
  ks::editor::EditorWindow::Fields f;
  if (args.size() == 7) {
    f.Caption = args[2];
    f.Description = args[3];
    f.String = args[4];
    f.Color = static_cast<int32_t>(std::strtol(args[5].c_str(), nullptr, 0));
    f.Shortcut = static_cast<int32_t>(std::strtol(args[6].c_str(), nullptr, 0));
  }
  Outcome o;
  o.ok = editor.ShowModal(args[1], f);
  if (o.ok)
    o.values = "Caption=" + f.Caption + "\nDescription=" + f.Description + "\nString=" +
               f.String + "\nColor=" + std::to_string(f.Color) +
               "\nShortcut=" + std::to_string(f.Shortcut) + "\n";
  if (logKeys) o.values.append("Keys=").append(keys).append("\n");
  return o;
}

// Runs what `args` ask for; nullopt for a usage error, an Outcome with `made` false when
// a window could not be made.
std::optional<Outcome> Run(HWND owner, HICON icon, const std::vector<std::string>& args,
                           bool& made) {
  const std::string& what = args[0];
  Outcome o;
  if (what == "list" && args.size() == 2) {
    ks::typing::ListPickerWindow list;
    if (!(made = list.Create(owner, icon))) return o;
    std::optional<std::string> pick = list.Pick(SplitCommas(args[1]));
    o.ok = pick.has_value();
    if (o.ok) o.values = "Selection=" + *pick + "\n";
  } else if (what == "input" && args.size() >= 3) {
    std::optional<std::string> answer =
        ks::win::InputQuery(owner, args[1], args[2], args.size() > 3 ? args[3] : "",
                            args.size() > 4 && args[4] == "preselect");
    o.ok = answer.has_value();
    if (o.ok) o.values = "Answer=" + *answer + "\n";
  } else if (what == "message" && args.size() == 2) {
    ks::win::ShowMessage(owner, args[1]);
    o.ok = true;
  } else if (what == "confirm" && args.size() >= 2) {
    o.ok = args.size() > 2 ? ks::win::Confirm(owner, args[1], args[2])
                           : ks::win::Confirm(owner, args[1]);
  } else if ((what == "editor" && (args.size() == 2 || args.size() == 7)) ||
             (what == "editor-keys" && args.size() == 7)) {
    std::optional<Outcome> edited = RunEditor(owner, icon, args);
    if (!(made = edited.has_value())) return o;
    return edited;
  } else {
    return std::nullopt;
  }
  return o;
}

// Written whole under a temporary name and renamed, so a reader never sees half a file.
int WriteOut(const std::string& outPath, const std::string& out) {
  const std::wstring path = ks::Wide(outPath), tmp = path + L".tmp";
  FILE* f = _wfopen(tmp.c_str(), L"wb");
  if (!f) return 4;
  bool written = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  if (std::fclose(f) != 0 || !written) return 4;
  if (!MoveFileExW(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return 4;
  return 0;
}

// The arguments as UTF-8, whatever their script: the narrow ones come in the ANSI code page.
std::vector<std::string> Arguments() {
  std::vector<std::string> args;
  int n = 0;
  if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &n)) {
    for (int i = 1; i < n; ++i) args.push_back(ks::Utf8(wide[i]));
    LocalFree(wide);
  }
  return args;
}

}  // namespace

int main() {
  std::vector<std::string> args = Arguments();
  std::string outPath;
  if (args.size() >= 2 && args[0] == "--out") {
    outPath = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.empty()) return Usage();

  Owner owner;
  if (!owner.Create()) return 3;
  HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  bool made = true;
  std::optional<Outcome> o = Run(owner.hwnd(), icon, args, made);
  if (!made) return 3;
  if (!o) return Usage();

  std::string out = std::string(o->ok ? "OK" : "NONE") + "\n" + o->values;
  if (outPath.empty()) {
    std::fputs(out.c_str(), stdout);
    return 0;
  }
  return WriteOut(outPath, out);
}
