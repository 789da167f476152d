// The package a user downloads, unzipped into a folder of its own: what it holds, and the
// program in it as a user first meets it. tests/scripts/package.sh makes and unzips the
// package and names its folder and version in KS_PACKAGE_DIR and KS_PACKAGE_VERSION.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "support/harness.h"

namespace ks::e2e {
namespace {

std::string Env(const char* name) {
  char buf[1024];
  DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

std::string PackageDir() {
  std::string dir = Env("KS_PACKAGE_DIR");
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  return dir;
}

// The size of the COFF symbol table of a PE file: 0 once it is stripped, -1 when the file
// is no PE file.
long long SymbolTableOf(const std::string& path) {
  const std::string bytes = ReadFileBytes(path);
  IMAGE_DOS_HEADER dos{};
  if (bytes.size() < sizeof dos) return -1;
  std::memcpy(&dos, bytes.data(), sizeof dos);
  IMAGE_NT_HEADERS64 nt{};
  if (dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0 ||
      static_cast<size_t>(dos.e_lfanew) + sizeof nt > bytes.size())
    return -1;
  std::memcpy(&nt, bytes.data() + dos.e_lfanew, sizeof nt);
  if (nt.Signature != IMAGE_NT_SIGNATURE) return -1;
  return static_cast<long long>(nt.FileHeader.NumberOfSymbols) +
         nt.FileHeader.PointerToSymbolTable;
}

// A string of the version resource of `file` (US English, Unicode block).
std::string VersionString(const std::string& file, const char* name) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
  if (size == 0) return {};
  std::string data(size, '\0');
  if (!GetFileVersionInfoA(file.c_str(), 0, size, data.data())) return {};
  char* value = nullptr;
  UINT length = 0;
  const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) ||
      !value)
    return {};
  return value;
}

// The rectangle on the screen around what is drawn on the right half of the taskbar at
// `area`, from its pixels as ScreenPixels gives them: the icons of the notification area.
// False when that half is empty.
bool IconArea(const RECT& area, const std::string& pixels, RECT* found) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  const size_t stride = static_cast<size_t>(width * 3 + 3) & ~size_t{3};
  if (width < 8 || height < 8 || pixels.size() != stride * height) return false;
  auto at = [&](int x, int row) { return static_cast<size_t>(row) * stride + x * 3u; };
  const size_t background = at(width / 2, height / 2);
  RECT box{area.right, area.bottom, area.left - 1, area.top - 1};
  // The rows of the taskbar's edges are left out.
  for (int row = 3; row < height - 3; ++row)
    for (int x = width / 2; x < width - 3; ++x) {
      if (pixels.compare(at(x, row), 3, pixels, background, 3) == 0) continue;
      const LONG sx = area.left + x, sy = area.top + (height - 1 - row);  // rows run bottom up
      box = RECT{std::min(box.left, sx), std::min(box.top, sy), std::max(box.right, sx),
                 std::max(box.bottom, sy)};
    }
  *found = box;
  return box.right >= box.left;
}

class PackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = PackageDir();
    version = Env("KS_PACKAGE_VERSION");
    if (dir.empty() || version.empty())
      GTEST_SKIP() << "run through tests/scripts/package.sh, which unzips the package";
  }
  std::string dir;
  std::string version;
};

TEST_F(PackageTest, HoldsTheStrippedProgramItsLibraryGuideAndReadMeOfOneVersion) {
  EXPECT_EQ(FilesIn(dir),
            (std::set<std::string>{"README.txt", "keystrum.dll", "keystrum.exe", "keystrum.html"}));
  EXPECT_EQ(SymbolTableOf(dir + "keystrum.exe"), 0);
  EXPECT_EQ(SymbolTableOf(dir + "keystrum.dll"), 0);
  // The package's name, the version resource, the guide and the read-me name one version.
  EXPECT_EQ(VersionString(dir + "keystrum.exe", "ProductVersion"), version);
  EXPECT_EQ(VersionString(dir + "keystrum.exe", "FileVersion").rfind(version + ".", 0), 0u)
      << VersionString(dir + "keystrum.exe", "FileVersion");
  EXPECT_NE(ReadFileBytes(dir + "README.txt").find("Keystrum " + version + " for Windows"),
            std::string::npos);
  const std::string guide = ReadFileBytes(dir + "keystrum.html");
  EXPECT_NE(guide.find("<footer>Keystrum " + version + "</footer>"), std::string::npos);
  EXPECT_NE(guide.find("<h2 id=\"type-codes\">"), std::string::npos);
}

TEST_F(PackageTest, UnzippedItShowsItsTrayIconTypesAButtonOpensItsGuideAndSavesAtExit) {
  DocumentViewer viewer({"html"});
  ASSERT_TRUE(viewer.registered());
  Keystrum k(Keystrum::FolderCopy{dir});
  ASSERT_TRUE(k.Start());
  // Its icon appears in the notification area at the right end of the desktop's taskbar;
  // a click on it shows the bar.
  RECT icon{};
  auto iconShown = [&] {
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    RECT area{};
    return taskbar && IsWindowVisible(taskbar) && GetWindowRect(taskbar, &area) &&
           IconArea(area, ScreenPixels(area), &icon);
  };
  ASSERT_TRUE(WaitFor(iconShown)) << "no icon in the taskbar";
  Sleep(300);  // drawn in full
  ASSERT_TRUE(iconShown());
  const int x = (icon.left + icon.right) / 2, y = (icon.top + icon.bottom) / 2;
  RestAt(x, y);
  Click(x, y);
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(k.Bar()) != FALSE; }))
      << "a click on the icon at " << x << "," << y << " did not show the bar";

  TypingTarget target;
  ASSERT_TRUE(target.Start());
  ASSERT_TRUE(target.Focus());
  Sleep(150);  // a few ticks of the bar's timer: the target is known
  POINT b = CentreOf(k.Button(1));
  RestAt(b.x, b.y);
  MouseDown(b.x, b.y);
  Sleep(30);
  MouseUp(b.x, b.y);
  EXPECT_TRUE(WaitFor([&] { return target.Text() == "This is an example button\r\n"; }))
      << "the target holds [" << target.Text() << "]";

  ASSERT_TRUE(k.TrayMenu(Keystrum::kTrayAbout));
  HWND box = MessageBoxOf(k.pid());
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageText(box).rfind("Keystrum Free V" + version + " by ", 0), 0u)
      << MessageText(box);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));

  ASSERT_TRUE(k.TrayMenu(Keystrum::kTrayReadHelp));
  EXPECT_NE(viewer.Showing(k.dir() + "keystrum.html"), nullptr) << "the guide did not open";
  Sleep(300);
  EXPECT_EQ(FindVisibleWindowOf(k.pid(), "#32770"), nullptr)
      << MessageText(MessageBoxOf(k.pid(), 0));
  viewer.CloseAll();

  ASSERT_TRUE(k.Exit());
  EXPECT_NE(k.Ini().find("GroupName1=Default"), std::string::npos) << k.Ini();
  EXPECT_EQ(k.Dat(), "This is an example button{enter}\r\n");
  // Nothing half-saved is left beside them.
  EXPECT_EQ(FilesIn(k.dir()),
            (std::set<std::string>{"README.txt", "keystrum.dat", "keystrum.dll", "keystrum.exe",
                                   "keystrum.html", "keystrum.ini"}));
}

}  // namespace
}  // namespace ks::e2e
