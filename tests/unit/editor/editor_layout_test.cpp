#include "editor/editor_layout.h"

#include "common/dpi.h"

#include <gtest/gtest.h>

#include <vector>

namespace ks::editor {
namespace {

// Client size of the window at its design size.
constexpr int kDesignW = 389, kDesignH = 200;

TEST(EditorLayout, DesignSizePutsMemoAt75AndBottomRowOnTheEdge) {
  EditorLayout l = LayoutEditor(kDesignW, kDesignH);
  EXPECT_EQ(l.Memo.Top, 75);
  EXPECT_EQ(l.Memo.Width, kDesignW);
  EXPECT_EQ(l.RecordButton.Bottom(), kDesignH);
  EXPECT_EQ(l.DoneButton.Bottom(), kDesignH);
  // Record keeps its width and Done fills the rest of the row.
  EXPECT_EQ(l.RecordButton, (Box{0, kDesignH - 25, 83, 25}));
  EXPECT_EQ(l.DoneButton, (Box{83, kDesignH - 25, kDesignW - 83, 25}));
  // The hint sits one pixel below the name up to the right edge, the abbreviation one
  // pixel below the hint, the memo one below that; the shortcut's label and list take the
  // end of the abbreviation's row.
  EXPECT_EQ(l.ButtonName, (Box{100, 0, kDesignW - 207, 24}));
  EXPECT_EQ(l.ButtonHint, (Box{100, 25, kDesignW - 100, 24}));
  EXPECT_EQ(l.Abbreviation, (Box{100, 50, kDesignW - 207 - 64 - (128 - 105), 24}));
  EXPECT_EQ(l.KeyList.Top, l.Abbreviation.Top);
  EXPECT_EQ(l.Memo.Bottom() + 1, l.RecordButton.Top);
}

TEST(EditorLayout, ColorAndShortcutListStayFlushRight) {
  for (int cw : {389, 300, EditorMinClientWidth(), 800}) {
    EditorLayout l = LayoutEditor(cw, kDesignH);
    EXPECT_EQ(l.ColorButton.Right(), cw) << cw;
    EXPECT_EQ(l.ColorButton.Left, l.ButtonName.Right() + 2) << cw;
    EXPECT_EQ(l.KeyList.Right(), cw) << cw;
    EXPECT_EQ(l.KeyList.Width, 128) << cw;
    EXPECT_EQ(l.KeyList.Top, l.ButtonHint.Bottom() + 1) << cw;
    EXPECT_EQ(l.ButtonHint.Right(), cw) << cw;
  }
}

// The shortcut's label stays between the abbreviation and the list, on their row, with room
// for "Shortcut:" at every width from the minimum up and at every DPI.
TEST(EditorLayout, ShortcutLabelKeepsItsPlaceBetweenAbbreviationAndList) {
  for (int dpi : {96, 144}) {
    const EditorDesignSizes s = EditorSizesAt(dpi);
    for (int cw : {EditorMinClientWidth(s), ScaleToDpi(kDesignW, dpi), ScaleToDpi(800, dpi)}) {
      EditorLayout l = LayoutEditor(cw, ScaleToDpi(kDesignH, dpi), s);
      EXPECT_GT(l.ShortcutLabel.Left, l.Abbreviation.Right()) << dpi << " " << cw;
      EXPECT_LT(l.ShortcutLabel.Right(), l.KeyList.Left) << dpi << " " << cw;
      EXPECT_GE(l.ShortcutLabel.Width, ScaleToDpi(46, dpi)) << dpi << " " << cw;
      EXPECT_GE(l.ShortcutLabel.Top, l.Abbreviation.Top) << dpi << " " << cw;
      EXPECT_LE(l.ShortcutLabel.Bottom(), l.Abbreviation.Bottom()) << dpi << " " << cw;
      // The label of the abbreviation is in the labels' column, on its row.
      const Box label = ScaleBox(kAbbreviationLabelBox, dpi);
      EXPECT_LE(label.Right(), l.Abbreviation.Left) << dpi;
      EXPECT_GE(label.Top, l.Abbreviation.Top) << dpi;
      EXPECT_LE(label.Bottom(), l.Abbreviation.Bottom()) << dpi;
    }
  }
}

TEST(EditorLayout, NarrowerShrinksTheEditsEquallyAndNothingElseButMemoAndDone) {
  EditorLayout wide = LayoutEditor(kDesignW, kDesignH);
  EditorLayout narrow = LayoutEditor(kDesignW - 60, kDesignH);
  EXPECT_EQ(wide.ButtonName.Width - narrow.ButtonName.Width, 60);
  EXPECT_EQ(wide.ButtonHint.Width - narrow.ButtonHint.Width, 60);
  EXPECT_EQ(wide.Abbreviation.Width - narrow.Abbreviation.Width, 60);
  EXPECT_EQ(narrow.ButtonName.Left, wide.ButtonName.Left);
  EXPECT_EQ(narrow.ColorButton.Width, wide.ColorButton.Width);
  EXPECT_EQ(narrow.RecordButton, wide.RecordButton);
  EXPECT_EQ(wide.DoneButton.Width - narrow.DoneButton.Width, 60);
  EXPECT_EQ(narrow.Memo.Height, wide.Memo.Height);
}

TEST(EditorLayout, TallerGrowsOnlyTheMemo) {
  EditorLayout base = LayoutEditor(kDesignW, kDesignH);
  EditorLayout tall = LayoutEditor(kDesignW, kDesignH + 100);
  EXPECT_EQ(tall.Memo.Height - base.Memo.Height, 100);
  EXPECT_EQ(tall.Memo.Top, base.Memo.Top);
  EXPECT_EQ(tall.ButtonName, base.ButtonName);
  EXPECT_EQ(tall.ButtonHint, base.ButtonHint);
  EXPECT_EQ(tall.Abbreviation, base.Abbreviation);
  EXPECT_EQ(tall.KeyList, base.KeyList);
  EXPECT_EQ(tall.ColorButton, base.ColorButton);
  EXPECT_EQ(tall.Dummy, base.Dummy);
  EXPECT_EQ(tall.RecordButton.Top - base.RecordButton.Top, 100);
  EXPECT_EQ(tall.RecordButton.Height, base.RecordButton.Height);
  EXPECT_EQ(tall.DoneButton.Width, base.DoneButton.Width);
  EXPECT_EQ(tall.DoneButton.Bottom(), kDesignH + 100);
}

TEST(EditorLayout, MemoCoversTheFocusSinkDownToTheMinimumSize) {
  for (int ch : {kDesignH, EditorMinClientHeight()}) {
    EditorLayout l = LayoutEditor(EditorMinClientWidth(), ch);
    EXPECT_EQ(l.Dummy.Left, l.Memo.Left);
    EXPECT_EQ(l.Dummy.Top, l.Memo.Top);
    EXPECT_GE(l.Memo.Width, l.Dummy.Width) << ch;
    EXPECT_GE(l.Memo.Height, l.Dummy.Height) << ch;
  }
}

TEST(EditorLayout, MinimumSizeKeepsEveryControlUsable) {
  EditorLayout l = LayoutEditor(EditorMinClientWidth(), EditorMinClientHeight());
  EXPECT_GE(l.ButtonName.Width, kMinEditWidth);
  EXPECT_EQ(l.Abbreviation.Width, kMinEditWidth);
  EXPECT_GE(l.ButtonHint.Width, kMinEditWidth);
  EXPECT_GT(l.DoneButton.Width, 0);
  EXPECT_GT(l.Memo.Height, 0);
  EXPECT_EQ(l.RecordButton.Bottom(), EditorMinClientHeight());
  // The Color button never overlaps the labels' column of edits.
  EXPECT_GE(l.ColorButton.Left, l.ButtonName.Left);
}

TEST(EditorLayout, BelowTheMinimumNoSizeGoesNegative) {
  for (auto [cw, ch] : std::vector<std::pair<int, int>>{{0, 0}, {50, 40}, {150, 70}, {-5, -5}}) {
    EditorLayout l = LayoutEditor(cw, ch);
    for (const Box& b : {l.ButtonName, l.ButtonHint, l.ColorButton, l.KeyList, l.Memo,
                         l.Dummy, l.RecordButton, l.DoneButton, l.ShortcutLabel,
                         l.Abbreviation}) {
      EXPECT_GE(b.Width, 0) << cw << "x" << ch;
      EXPECT_GE(b.Height, 0) << cw << "x" << ch;
    }
  }
}

// At every DPI the rule keeps its shape: Color flush right, the memo between the edits and
// the bottom row, the bottom row on the edge; only the sizes grow.
TEST(EditorLayoutDpi, TheRuleKeepsItsShapeAtEveryDpi) {
  for (int dpi : {96, 120, 144, 192}) {
    const EditorDesignSizes s = EditorSizesAt(dpi);
    const int cw = ScaleToDpi(kDesignW, dpi), ch = ScaleToDpi(kDesignH, dpi);
    EditorLayout l = LayoutEditor(cw, ch, s);
    EXPECT_EQ(l.ButtonName.Left, ScaleToDpi(100, dpi)) << dpi;
    EXPECT_EQ(l.ButtonName.Height, ScaleToDpi(24, dpi)) << dpi;
    EXPECT_EQ(l.ColorButton.Right(), cw) << dpi;
    EXPECT_EQ(l.ColorButton.Width, ScaleToDpi(105, dpi)) << dpi;
    EXPECT_EQ(l.ButtonHint.Top, l.ButtonName.Bottom() + s.Gap) << dpi;
    EXPECT_EQ(l.Abbreviation.Top, l.ButtonHint.Bottom() + s.Gap) << dpi;
    EXPECT_EQ(l.Memo.Top, l.Abbreviation.Bottom() + s.Gap) << dpi;
    EXPECT_EQ(l.RecordButton.Top, l.Memo.Bottom() + s.Gap) << dpi;
    EXPECT_EQ(l.RecordButton.Width, ScaleToDpi(83, dpi)) << dpi;
    EXPECT_EQ(l.DoneButton.Bottom(), ch) << dpi;
    EXPECT_EQ(l.DoneButton.Right(), cw) << dpi;
    // The minimum keeps both edits at 40 design pixels.
    EXPECT_EQ(LayoutEditor(EditorMinClientWidth(s), ch, s).Abbreviation.Width, ScaleToDpi(40, dpi))
        << dpi;
    EXPECT_EQ(LayoutEditor(cw, EditorMinClientHeight(s), s).Memo.Height, s.ButtonHeight) << dpi;
  }
  // At 96 DPI the scaled sizes are the design sizes themselves.
  EXPECT_EQ(LayoutEditor(kDesignW, kDesignH, EditorSizesAt(96)), LayoutEditor(kDesignW, kDesignH));
  EXPECT_EQ(EditorMinClientWidth(EditorSizesAt(96)), EditorMinClientWidth());
  // The 150 % memo starts at 3 x (36 + 2) and the labels move with the edits.
  EXPECT_EQ(LayoutEditor(600, 300, EditorSizesAt(144)).Memo.Top, 114);
  EXPECT_EQ(ScaleBox(kHintLabelBox, 144), (Box{0, 44, 170, 24}));
}

}  // namespace
}  // namespace ks::editor
