#include "editor/ksm_layout.h"

#include <algorithm>

namespace ks::editor {

namespace {
// Gap the rule leaves between the Color button and the edit on its left.
constexpr int kColorGap = 2;
}  // namespace

int KsmMinClientWidth(const KsmDesignSizes& s) {
  return s.EditLeft + kMinEditWidth + kColorGap + s.ColorWidth;
}

int KsmMinClientHeight(const KsmDesignSizes& s) {
  // name, hint and the bottom row plus the three one-pixel gaps, and the memo.
  return 2 * s.EditHeight + s.ButtonHeight + 3 + s.ButtonHeight;
}

KsmLayout LayoutKsm(int cw, int ch, const KsmDesignSizes& s) {
  KsmLayout l;
  const int editWidth = std::max(0, cw - s.ColorWidth - s.EditLeft - kColorGap);

  l.ButtonName = {s.EditLeft, 0, editWidth, s.EditHeight};
  l.ColorButton = {l.ButtonName.Right() + kColorGap, 0, s.ColorWidth, s.ButtonHeight};
  l.KeyList = {l.ColorButton.Left, l.ColorButton.Height, s.ColorWidth, s.KeyListHeight};
  l.ButtonHint = {s.EditLeft, l.ButtonName.Height + 1, editWidth, s.EditHeight};

  const int memoTop = l.ButtonHint.Bottom() + 1;
  const int memoHeight = std::max(0, ch - s.ButtonHeight - 2 * s.EditHeight - 3);
  l.KsmText = {0, memoTop, std::max(0, cw), memoHeight};
  l.Dummy = {0, memoTop, s.DummyWidth, s.ButtonHeight};

  l.RecordButton = {0, l.KsmText.Bottom() + 1, s.RecordWidth, s.ButtonHeight};
  l.DoneButton = {s.RecordWidth, l.RecordButton.Top, std::max(0, cw - s.RecordWidth),
                  s.ButtonHeight};
  return l;
}

}  // namespace ks::editor
