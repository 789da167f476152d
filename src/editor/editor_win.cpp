#include "editor/editor_win.h"

#include <algorithm>

#include "text/codepage_win.h"
#include "win/dialogs.h"
#include "win/window.h"

namespace ks::editor {

ButtonEditor::ButtonEditor(EditorWindow& window, KeyHookLibrary& hook) : window_(window), hook_(hook) {
  EditorWindow::MemoEvents ev;
  ev.KeyDown = [this](EditorWindow&, WPARAM& vk) {
    std::optional<MemoText> edit = keys_.KeyDown(ReadMemo(), static_cast<int>(vk));
    if (!edit) return false;
    WriteMemo(*edit);
    return true;
  };
  ev.KeyUp = [this](EditorWindow&, WPARAM vk) { keys_.KeyUp(static_cast<int>(vk)); };
  ev.KeyPress = [this](EditorWindow&, WPARAM& ch) {
    MemoChar r = keys_.Char(ReadMemo(), static_cast<char32_t>(ch), recording_);
    if (r.Replace) WriteMemo(*r.Replace);
    if (r.Char == 0) return true;
    ch = r.Char;
    return false;
  };
  ev.Change = [this](EditorWindow&) {
    MemoText m = ReadMemo();
    MemoText normal = NormalizeMemo(m);
    if (normal.Text != m.Text) WriteMemo(normal);
  };
  // One replacement in the field's form, where the control's own paste would be laid out
  // once as it came and once more as the change rule rewrote it.
  ev.Paste = [this](EditorWindow&, const std::string& text) {
    WriteMemo(PasteIntoMemo(ReadMemo(), text));
    return true;
  };
  window_.SetMemoEvents(std::move(ev));
  window_.OnRecordToggled = [this](EditorWindow&) { ToggleRecording(); };
  // Recording never outlives the modal showing, so the caller finds its caption back.
  auto stop = [this](EditorWindow&) {
    if (recording_) ToggleRecording();
  };
  window_.OnDeactivate = stop;
  window_.OnDestroy = stop;
}

ButtonEditor::~ButtonEditor() {
  if (recording_) ToggleRecording();
  window_.SetMemoEvents({});
  window_.OnRecordToggled = nullptr;
  window_.OnDeactivate = nullptr;
  window_.OnDestroy = nullptr;
}

namespace {

std::wstring WideText(HWND h) {
  std::wstring text(static_cast<size_t>(std::max(GetWindowTextLengthW(h), 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(
      std::max(GetWindowTextW(h, text.data(), static_cast<int>(text.size())), 0)));
  return text;
}

std::u16string_view Units(const std::wstring& s) {
  return std::u16string_view(reinterpret_cast<const char16_t*>(s.data()), s.size());
}

}  // namespace

// The memo counts its selection in UTF-16 units, the key rules in bytes of UTF-8: both
// directions go through the core's conversion, which keeps every position on a character.
MemoText ButtonEditor::ReadMemo() const {
  HWND memo = window_.memo();
  const std::wstring text = WideText(memo);
  DWORD a = 0, b = 0;
  SendMessageW(memo, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  return MemoFromUtf16(Units(text), a, b);
}

// Only the part that differs is replaced: the control lays out again what it is given, and
// a whole long text each time would make every key slow.
void ButtonEditor::WriteMemo(const MemoText& m) {
  HWND memo = window_.memo();
  const std::wstring now = WideText(memo);
  const std::wstring want = Wide(m.Text);
  if (now != want) {
    const Utf16Change c = ChangeBetween(Units(now), Units(want));
    const std::wstring part = want.substr(c.Start, c.ToEnd - c.Start);
    SendMessageW(memo, EM_SETSEL, c.Start, c.End);
    SendMessageW(memo, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(part.c_str()));
  }
  const Utf16Selection sel = SelectionInUtf16(m);
  SendMessageW(memo, EM_SETSEL, sel.Start, sel.End);
  SendMessageW(memo, EM_SCROLLCARET, 0, 0);
}

void ButtonEditor::ToggleRecording() {
  HWND window = window_.hwnd();
  if (!recording_) {
    if (!hook_.Available()) {
      win::ShowMessage(window, kKeyHookMissingMessage);
      return;
    }
    hook_.Start(window_.memo());
    recording_ = true;
    if (OnRecording) OnRecording(true);
    keys_.Reset();
    keys_.SetUnshiftedRecording(!hook_.CharactersAsTyped());
    win::SetText(window_.recordButton(), "Stop");
    window_.SetHint(window_.recordButton(), "Stop Recording");
    savedCaption_ = win::GetText(window);
    win::SetText(window, savedCaption_ + " [Recording]");
    EnableWindow(window_.memo(), FALSE);
  } else {
    hook_.Stop();
    recording_ = false;
    if (OnRecording) OnRecording(false);
    win::SetText(window_.recordButton(), "Record");
    window_.SetHint(window_.recordButton(), EditorWindow::kRecordHint);
    win::SetText(window, savedCaption_);
    EnableWindow(window_.memo(), TRUE);
  }
  if (IsWindowVisible(window)) SetFocus(window_.dummy());
}

bool ButtonEditor::ShowModal(const std::string& caption, EditorFields& fields) {
  keys_.Reset();
  if (caption == EditorWindow::kNewCaption && TemplateFont) window_.SetColorButtonFont(TemplateFont());
  EditorWindow::Fields f{fields.Caption, fields.Description, fields.String, fields.Color,
                     fields.Shortcut, fields.Abbreviation};
  if (!window_.ShowModal(caption, f)) return false;
  fields = EditorFields{f.Caption, f.Description, f.String, f.Color, f.Shortcut, f.Abbreviation};
  return true;
}

}  // namespace ks::editor
