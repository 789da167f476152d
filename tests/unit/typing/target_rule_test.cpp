#include <gtest/gtest.h>

#include "typing/target_rule.h"

namespace ks {
namespace {

TEST(TargetRule, TheShellsTaskbarsOverflowStartMenuAndDesktopAreNeverTheTarget) {
  for (const char* c : {"Shell_TrayWnd", "Shell_SecondaryTrayWnd", "NotifyIconOverflowWindow",
                        "TopLevelWindowForOverflowXamlIsland", "DV2ControlHost",
                        "Windows.UI.Core.CoreWindow", "Progman", "WorkerW",
                        "shell_traywnd", "SHELL_SECONDARYTRAYWND"})
    EXPECT_TRUE(IsNeverTargetClass(c)) << c;
}

TEST(TargetRule, OrdinaryProgramsAreTargets) {
  for (const char* c : {"Notepad", "Edit", "ConsoleWindowClass", "typing_target", "#32770",
                        "ApplicationFrameWindow", "Chrome_WidgetWin_1", "", "Shell_TrayWnd2",
                        "Shell_Tray"})
    EXPECT_FALSE(IsNeverTargetClass(c)) << c;
}

}  // namespace
}  // namespace ks
