// The find window end to end, from the keyboard: Ctrl+Alt+Space pressed in another program
// opens it, a few letters of a caption in any group find its button, Enter types it into
// that program and gives it the front again, Esc types nothing; a locked group's texts are
// not found, its captions are and ask for its password. With the key held by another
// program, the start says so and "Find..." in the tray menu and the button menu opens it.
// docs/find.png: KS_E2E_SHOTS='Z:\tmp\shots' and --gtest_filter=FindTest.*, then `convert`
// (see Picture); docs/find-150.png comes from the Dpi suite.
#include <gtest/gtest.h>

#include "support/fixture.h"

namespace ks::e2e {
namespace {

// Work (active): five buttons in three scripts. Home: Signature. Vault, locked with
// "Secret": Hidden, whose text holds "zebra".
const std::string kCafe = "Caf\xC3\xA9";
const std::string kKalimera = "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1";
const std::string kIni =
    "[Window]\r\nButtonWidth=100\r\nXPosition=620\r\nYPosition=100\r\n"
    "[Groups]\r\nNumGroups=3\r\nActiveGroup=1\r\n"
    "GroupName1=Work\r\nGroupName2=Home\r\nGroupName3=Vault\r\n"
    "[Commands]\r\nNumCommands=5\r\nColumns=1\r\nCaption1=Plain\r\nCaption2=Address\r\n"
    "Description2=Where to send letters\r\nCaption3=Regards\r\nCaption4=" + kCafe +
    "\r\nCaption5=" + kKalimera + "\r\nDescription5=Good morning\r\n"
    "[Commands1]\r\nNumCommands=1\r\nColumns=1\r\nCaption1=Signature\r\n"
    "Description1=Closes a letter\r\n"
    "[Commands2]\r\nNumCommands=1\r\nColumns=1\r\nPassword=Secret\r\nCaption1=Hidden\r\n";
const std::string kDat = "\xEF\xBB\xBFplain\r\n12 Main Street{enter}Springfield\r\n"
                         "Kind regards,{enter}{enter}Bea\r\nUn caf\xC3\xA9, s'il vous pla\xC3\xAEt\r\n" +
                         kKalimera + " \xCF\x83\xCE\xB1\xCF\x82!{enter}\r\nBest wishes,{enter}Bea\r\n"
                         "zebra crossing\r\n";

class FindTest : public BarFixture {
 protected:
  void StartProgram() {
    k.WriteIni(Utf16LeFile(kIni));
    k.WriteDat(kDat);
    ASSERT_TRUE(k.Start());
  }
  // After a pause as a user's: a chord sent within a few milliseconds of the find window
  // handing the foreground back was now and then not taken as the hot key under Wine.
  static void FindKey() {
    Sleep(200);
    Chord({VK_CONTROL, VK_MENU, VK_SPACE});
  }
  // The find window, once it is in front with its edit holding `query`; null otherwise,
  // with what is there instead on the test's output.
  HWND FindInFront(const std::string& query = "") const {
    HWND find = nullptr;
    if (WaitFor([&] {
          find = FindVisibleWindowOf(k.pid(), contract::kFindClass);
          return find && GetForegroundWindow() == find &&
                 TextOf(FindChild(find, "Edit")) == query;
        }))
      return find;
    HWND fg = GetForegroundWindow();
    ADD_FAILURE() << "no find window in front holding [" << query << "]: in front "
                  << ClassOf(fg) << " '" << TextOf(fg) << "'; the find window "
                  << (find ? "holds [" + TextOf(FindChild(find, "Edit")) + "]" : "is hidden");
    return nullptr;
  }
  // Types `query` into the find window in front and waits until its edit holds it.
  static ::testing::AssertionResult Query(HWND find, const std::string& query) {
    TypeText(query);
    return TextBecomes(FindChild(find, "Edit"), query);
  }
  ::testing::AssertionResult ClosedAndTargetInFront(HWND find) const {
    if (!WaitFor([&] { return !IsWindowVisible(find) && GetForegroundWindow() == main_; }))
      return ::testing::AssertionFailure()
             << "find window visible: " << IsWindowVisible(find) << ", in front: "
             << ClassOf(GetForegroundWindow()) << " '" << TextOf(GetForegroundWindow()) << "'";
    return ::testing::AssertionSuccess();
  }
};

TEST_F(FindTest, TheKeyFindsAButtonOfAnyGroupAndEnterTypesItWhereTheUserWas) {
  StartProgram();
  StartTarget();
  ASSERT_FALSE(IsWindowVisible(k.Bar()));

  FindKey();
  HWND find = FindInFront();
  ASSERT_NE(find, nullptr) << DescribeWindows(k.pid());
  HWND list = FindChild(find, "ListBox");
  // No query yet: the active group's buttons in bar order.
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 5);
  ASSERT_TRUE(Query(find, "sig"));  // a caption of another group
  PressKey(VK_RETURN);
  EXPECT_TRUE(TextBecomes("Best wishes,\r\nBea"));
  EXPECT_TRUE(ClosedAndTargetInFront(find));

  // Esc types nothing; the last query comes back selected, so typing replaces it.
  FindKey();
  ASSERT_EQ(FindInFront("sig"), find);
  EXPECT_EQ(SendMessageA(FindChild(find, "Edit"), EM_GETSEL, 0, 0), MAKELRESULT(0, 3));
  ASSERT_TRUE(Query(find, "add"));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(ClosedAndTargetInFront(find));

  // A locked group's text is not found by its words: the one grey line, and Enter does
  // nothing.
  FindKey();
  ASSERT_EQ(FindInFront("add"), find);
  ASSERT_TRUE(Query(find, "zebra"));
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
  PressKey(VK_RETURN);
  Sleep(300);
  EXPECT_TRUE(IsWindowVisible(find));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(ClosedAndTargetInFront(find));

  // Its caption is found, and choosing it asks for its password.
  FindKey();
  ASSERT_EQ(FindInFront("zebra"), find);
  ASSERT_TRUE(Query(find, "hid"));
  PressKey(VK_RETURN);
  ASSERT_TRUE(GivePassword("Vault", "Secret"));
  EXPECT_TRUE(TextBecomes("Best wishes,\r\nBeazebra crossing"));
  EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == main_; }));
}

TEST_F(FindTest, WithTheKeyHeldElsewhereTheStartSaysSoAndTheMenusOpenTheWindow) {
  // Held by this thread as another program would hold it.
  struct HeldKey {
    const bool held = RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, VK_SPACE) != FALSE;
    ~HeldKey() {
      if (held) UnregisterHotKey(nullptr, 1);
    }
  } key;
  ASSERT_TRUE(key.held);
  StartProgram();
  HWND box = BoxSaying("Ctrl+Alt+Space");
  ASSERT_NE(box, nullptr) << DescribeWindows(k.pid());
  ClickWindow(GetDlgItem(box, IDOK));
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(box); }));
  StartTarget();

  ASSERT_TRUE(k.TrayMenu(Keystrum::kTrayFind));
  HWND find = FindInFront();
  ASSERT_NE(find, nullptr) << DescribeWindows(k.pid());
  ASSERT_TRUE(Query(find, "re"));
  EXPECT_TRUE(Picture("find", {find}, 0));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(ClosedAndTargetInFront(find));

  ShowBar();
  POINT c = CentreOf(k.Button(1));
  Click(c.x, c.y, true);
  ASSERT_TRUE(k.MenuOpens());
  Sleep(150);
  for (int n = 0; n < 9; ++n) PressKey(VK_DOWN);  // Undo Typing ... Button Width, Find...
  PressKey(VK_RETURN);
  ASSERT_EQ(FindInFront("re"), find);
  ASSERT_TRUE(Query(find, "sig"));
  PressKey(VK_RETURN);
  EXPECT_TRUE(TextBecomes("Best wishes,\r\nBea"));
  EXPECT_TRUE(ClosedAndTargetInFront(find));
}

}  // namespace
}  // namespace ks::e2e
