#include "editor/editor_layout.h"

#include <algorithm>
#include <initializer_list>

#include "common/dpi.h"

namespace ks::editor {

EditorDesignSizes EditorSizesAt(int dpi) {
  using S = EditorDesignSizes;
  S s;
  for (int S::*size : {&S::EditHeight, &S::ButtonHeight, &S::ColorWidth, &S::RecordWidth,
                       &S::DummyWidth, &S::KeyListHeight, &S::EditLeft, &S::ShortcutLabelWidth,
                       &S::KeyListWidth, &S::LabelHeight, &S::Gap, &S::ColorGap,
                       &S::MinEditWidth})
    s.*size = ScaleToDpi(s.*size, dpi);
  return s;
}

Box ScaleBox(const Box& b, int dpi) {
  return Box{ScaleToDpi(b.Left, dpi), ScaleToDpi(b.Top, dpi), ScaleToDpi(b.Width, dpi),
             ScaleToDpi(b.Height, dpi)};
}

int EditorMinClientWidth(const EditorDesignSizes& s) {
  return s.EditLeft + s.MinEditWidth + s.ColorGap + s.ShortcutLabelWidth + s.KeyListWidth;
}

int EditorMinClientHeight(const EditorDesignSizes& s) {
  // name, hint, abbreviation and the bottom row plus the four gaps, and the memo.
  return 3 * s.EditHeight + s.ButtonHeight + 4 * s.Gap + s.ButtonHeight;
}

EditorLayout LayoutEditor(int cw, int ch, const EditorDesignSizes& s) {
  EditorLayout l;
  const int editWidth = std::max(0, cw - s.ColorWidth - s.EditLeft - s.ColorGap);

  l.ButtonName = {s.EditLeft, 0, editWidth, s.EditHeight};
  l.ColorButton = {l.ButtonName.Right() + s.ColorGap, 0, s.ColorWidth, s.ButtonHeight};
  // The hint has its row to itself, up to the right edge.
  l.ButtonHint = {s.EditLeft, l.ButtonName.Height + s.Gap,
                  std::max(0, l.ColorButton.Right() - s.EditLeft), s.EditHeight};
  // The abbreviation and the shortcut key, the two ways to type the button without the
  // bar, share the next row. The list ends where the Color button ends; what it is wider
  // takes from the abbreviation.
  const int keysTop = l.ButtonHint.Bottom() + s.Gap;
  l.KeyList = {l.ColorButton.Right() - s.KeyListWidth, keysTop, s.KeyListWidth, s.KeyListHeight};
  l.Abbreviation = {
      s.EditLeft, keysTop,
      std::max(0, editWidth - s.ShortcutLabelWidth - (s.KeyListWidth - s.ColorWidth)),
      s.EditHeight};
  // The label fills the gap up to the list, its text on the abbreviation's line.
  l.ShortcutLabel = {l.Abbreviation.Right() + s.ColorGap,
                     keysTop + std::max(0, (s.EditHeight - s.LabelHeight) / 2),
                     std::max(0, l.KeyList.Left - s.ColorGap - l.Abbreviation.Right() - s.ColorGap),
                     s.LabelHeight};

  const int memoTop = l.Abbreviation.Bottom() + s.Gap;
  const int memoHeight = std::max(0, ch - s.ButtonHeight - 3 * s.EditHeight - 4 * s.Gap);
  l.Memo = {0, memoTop, std::max(0, cw), memoHeight};
  l.Dummy = {0, memoTop, s.DummyWidth, s.ButtonHeight};

  l.RecordButton = {0, l.Memo.Bottom() + s.Gap, s.RecordWidth, s.ButtonHeight};
  l.DoneButton = {s.RecordWidth, l.RecordButton.Top, std::max(0, cw - s.RecordWidth),
                  s.ButtonHeight};
  return l;
}

}  // namespace ks::editor
