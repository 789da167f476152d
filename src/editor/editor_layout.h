#pragma once
// Where the button editor's controls go for a given client size. Kept free of any
// window system so the rule can be checked on its own. The design sizes are at 96 DPI;
// EditorSizesAt gives them in pixels at another DPI.

namespace ks::editor {

struct Box {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  int Right() const { return Left + Width; }
  int Bottom() const { return Top + Height; }
  bool operator==(const Box&) const = default;
};

// The sizes the rule keeps from the design: heights of edits and buttons, the widths
// of the Color and Record buttons and of the focus sink.
struct EditorDesignSizes {
  int EditHeight = 24;
  int ButtonHeight = 25;
  int ColorWidth = 105;
  int RecordWidth = 83;
  int DummyWidth = 75;
  int KeyListHeight = 24;
  int EditLeft = 100;
  // The "Shortcut:" label between the abbreviation and the shortcut list, and its line
  // height; the list is wider than the Color button, so "<ctrl><alt>W" shows whole.
  int ShortcutLabelWidth = 64;
  int KeyListWidth = 128;
  int LabelHeight = 16;
  // The gaps: one line between the rows, two beside the Color button.
  int Gap = 1;
  int ColorGap = 2;
  int MinEditWidth = 40;
};

// The design sizes in pixels at `dpi`.
EditorDesignSizes EditorSizesAt(int dpi);
// A design place at 96 DPI (a label's) in pixels at `dpi`.
Box ScaleBox(const Box& b, int dpi);

struct EditorLayout {
  Box ButtonName, ButtonHint, ColorButton, KeyList, Memo, Dummy, RecordButton, DoneButton;
  Box ShortcutLabel, Abbreviation;
  bool operator==(const EditorLayout&) const = default;
};

// The labels never move.
inline constexpr Box kNameLabelBox{0, 5, 113, 17};
inline constexpr Box kHintLabelBox{0, 29, 113, 16};
inline constexpr Box kAbbreviationLabelBox{0, 54, 100, 16};

// Smallest client size at which every control keeps a usable size: every edit at least
// 40 pixels (at 96 DPI) wide (the abbreviation, which shares its row with the shortcut's
// label and list, sets the width) and the memo at least as tall as the focus sink it hides.
inline constexpr int kMinEditWidth = 40;
int EditorMinClientWidth(const EditorDesignSizes& s = {});
int EditorMinClientHeight(const EditorDesignSizes& s = {});

// The resize rule for client width `cw` and height `ch`. Below the minimum size the
// computed widths and heights stop at zero instead of going negative.
EditorLayout LayoutEditor(int cw, int ch, const EditorDesignSizes& s = {});

}  // namespace ks::editor
