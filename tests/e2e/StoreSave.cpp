// The safe save on a real file system: a save killed at every step, and refused saves.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>

#include "../helpers/store_samples.h"
#include "store/files_win.h"
#include "store/session.h"
#include "support/harness.h"
#include "text/codepage_win.h"
#include "win/window.h"

namespace ks {
namespace {

// Both files through the system's file functions, as the program loads and saves them.
LoadOutcome LoadAll(const std::string& dir, const LoadContext& ctx) {
  WinFileSystem fs;
  return LoadFiles(fs, dir, ctx, WinAnsiCodePage());
}

std::optional<std::string> SaveAll(const std::string& dir, const Store& store,
                                   const Settings& settings) {
  WinFileSystem fs;
  return SaveFiles(fs, dir, store, settings, WinAnsiCodePage());
}

constexpr DWORD kKilled = 0xDEAD;

// A fresh empty folder under the temporary folder, removed with its files at the end.
class TempFolder {
 public:
  TempFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static int counter = 0;
    path_ = std::string(base) + "ks-store-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempFolder() { e2e::RemoveFolder(path_ + "\\"); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::set<std::string> Files() const { return e2e::FilesIn(path_ + "\\"); }

 private:
  std::string path_;
};

// Runs savetool.exe with `args` and returns its exit code.
DWORD RunSaveTool(const std::string& args) {
  std::string cmd = "\"" + e2e::ExeDir() + "savetool.exe\" " + args;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    ADD_FAILURE() << "cannot start " << cmd << " (error " << GetLastError() << ")";
    return 0xFFFFFFFF;
  }
  WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = 0xFFFFFFFF;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}

std::string Loaded(const std::string& dir) {
  LoadOutcome out = LoadAll(dir, LoadContext{});
  EXPECT_EQ(out.unreadable, std::nullopt);
  return samples::Fingerprint(*out.loaded.store, out.loaded.settings);
}

const std::set<std::string> kPair = {"keystrum.dat", "keystrum.ini"};

TEST(StoreSave, AKilledSaveLeavesTheOldPairOrTheNewPair) {
  const std::string oldPrint = samples::Fingerprint(*samples::OldStore(), Settings{});
  const std::string newPrint =
      samples::Fingerprint(*samples::NewStore(), samples::NewSettings());
  ASSERT_NE(oldPrint, newPrint);

  DWORD steps;
  {
    TempFolder probe;
    ASSERT_LT(RunSaveTool("\"" + probe.path() + "\" old"), 200u);
    steps = RunSaveTool("\"" + probe.path() + "\" new");
    ASSERT_LT(steps, 200u);
    ASSERT_GT(steps, 10u);
    EXPECT_EQ(probe.Files(), kPair);
    EXPECT_EQ(Loaded(probe.path()), newPrint);
  }
  int sawOld = 0, sawNew = 0;
  for (DWORD k = 0; k < steps; ++k) {
    TempFolder dir;
    ASSERT_LT(RunSaveTool("\"" + dir.path() + "\" old"), 200u);
    ASSERT_EQ(RunSaveTool("\"" + dir.path() + "\" new " + std::to_string(k)), kKilled) << k;
    std::string print = Loaded(dir.path());
    EXPECT_TRUE(print == oldPrint || print == newPrint) << "killed before step " << k;
    (print == oldPrint ? sawOld : sawNew)++;
    EXPECT_EQ(dir.Files(), kPair) << "left behind after a kill before step " << k;
  }
  EXPECT_GT(sawOld, 0);
  EXPECT_GT(sawNew, 0);
}

TEST(StoreSave, AReadOnlySettingsFileIsReportedAndBothFilesStayAsTheyWere) {
  TempFolder dir;
  ASSERT_EQ(SaveAll(dir.path(), *samples::OldStore(), Settings{}), std::nullopt);
  const std::string ini = IniPath(dir.path()), dat = DatPath(dir.path());
  const std::string iniBefore = e2e::ReadFileBytes(ini), datBefore = e2e::ReadFileBytes(dat);
  ASSERT_FALSE(iniBefore.empty());
  ASSERT_TRUE(SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY));

  auto err = SaveAll(dir.path(), *samples::NewStore(), samples::NewSettings());
  EXPECT_EQ(err, "Unable to write to " + ini);
  EXPECT_EQ(e2e::ReadFileBytes(ini), iniBefore);
  EXPECT_EQ(e2e::ReadFileBytes(dat), datBefore);
  EXPECT_EQ(dir.Files(), kPair);
}

TEST(StoreSave, AFileLockedByAnotherProgramIsReportedAndNothingChanges) {
  TempFolder dir;
  ASSERT_EQ(SaveAll(dir.path(), *samples::OldStore(), Settings{}), std::nullopt);
  const std::string dat = DatPath(dir.path());
  const std::string datBefore = e2e::ReadFileBytes(dat);
  const std::string iniBefore = e2e::ReadFileBytes(IniPath(dir.path()));
  {
    // Open without sharing, as an editor holding the file would.
    win::UniqueHandle lock(CreateFileA(dat.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(lock.get(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(SaveAll(dir.path(), *samples::NewStore(), samples::NewSettings()),
              "Unable to write to " + dat);
  }
  EXPECT_EQ(e2e::ReadFileBytes(dat), datBefore);
  EXPECT_EQ(e2e::ReadFileBytes(IniPath(dir.path())), iniBefore);
  EXPECT_EQ(dir.Files(), kPair);
  // Released, the same save goes through.
  EXPECT_EQ(SaveAll(dir.path(), *samples::NewStore(), samples::NewSettings()), std::nullopt);
  EXPECT_EQ(Loaded(dir.path()),
            samples::Fingerprint(*samples::NewStore(), samples::NewSettings()));
}

TEST(StoreSave, AnAnsiPairIsSavedByteForByteAndAUnicodeOneInTheFormsThePlatformReads) {
  if (GetACP() != 1252) GTEST_SKIP() << "needs the Windows-1252 code page, have " << GetACP();
  TempFolder dir;
  const std::string ini = IniPath(dir.path()), dat = DatPath(dir.path());
  // As an older copy wrote it: the code page's bytes, and a layout of the file's own.
  const std::string oldIni =
      "; caf\xE9\r\n[Window]\r\nXPosition=10\r\nYPosition=20\r\nButtonWidth=100\r\n"
      "[TypeWindow]\r\nXPosition=1\r\nYPosition=2\r\nHeight=230\r\nWidth=400\r\n"
      "[ListWindow]\r\nXPosition=3\r\nYPosition=4\r\nHeight=140\r\nWidth=120\r\n"
      "[Font]\r\nName=Arial\r\nSize=8\r\n[Groups]\r\nNumGroups=1\r\nActiveGroup=1\r\n"
      "GroupName1=Caf\xE9 \x80\r\n[Commands]\r\nNumCommands=1\r\nColumns=1\r\n"
      "Password=p\xE4ss\r\nDescription1=\x93q\x94\r\nCaption1=na\xEFve\r\nColor1=0\r\n"
      "Shortcut1=0\r\n";
  const std::string oldDat = "\xC0 la carte \x85\x99{enter}\r\n";
  ASSERT_TRUE(e2e::WriteFileBytes(ini, oldIni));
  ASSERT_TRUE(e2e::WriteFileBytes(dat, oldDat));
  LoadOutcome l = LoadAll(dir.path(), LoadContext{});
  EXPECT_EQ(l.loaded.store->ButtonAt(1, 1).Caption, "na\xC3\xAFve");
  EXPECT_EQ(l.loaded.store->ButtonAt(1, 1).String, "\xC3\x80 la carte \xE2\x80\xA6\xE2\x84\xA2{enter}");
  ASSERT_EQ(SaveAll(dir.path(), *l.loaded.store, l.loaded.settings), std::nullopt);
  EXPECT_EQ(e2e::ReadFileBytes(ini), oldIni);
  EXPECT_EQ(e2e::ReadFileBytes(dat), oldDat);

  // A Greek caption: keystrum.ini becomes UTF-16, which the platform's wide reader takes.
  l.loaded.store->ButtonAt(1, 1).Caption = "\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1 \xF0\x9F\x98\x80";
  ASSERT_EQ(SaveAll(dir.path(), *l.loaded.store, l.loaded.settings), std::nullopt);
  EXPECT_EQ(e2e::ReadFileBytes(ini).substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(e2e::ReadFileBytes(dat).substr(0, 3), "\xEF\xBB\xBF");
  wchar_t buf[64] = {};
  GetPrivateProfileStringW(L"Commands", L"Caption1", L"", buf, 64, Wide(ini).c_str());
  EXPECT_EQ(std::wstring(buf), L"\u0391\u03B8\u03AE\u03BD\u03B1 \U0001F600");
  GetPrivateProfileStringW(L"Groups", L"GroupName1", L"", buf, 64, Wide(ini).c_str());
  EXPECT_EQ(std::wstring(buf), L"Caf\u00E9 \u20AC");
  LoadOutcome back = LoadAll(dir.path(), LoadContext{});
  EXPECT_EQ(back.loaded.store->ButtonAt(1, 1), l.loaded.store->ButtonAt(1, 1));
  EXPECT_EQ(back.loaded.store->GroupAt(1).Password, "p\xC3\xA4ss");
}

TEST(StoreSave, AFirstRunCreatesBothFilesBesideTheProgram) {
  TempFolder dir;
  LoadOutcome none = LoadAll(dir.path(), LoadContext{});
  EXPECT_EQ(none.loaded.store->GroupAt(1).Name, "Default");
  EXPECT_EQ(SaveAll(dir.path() + "\\", *none.loaded.store, none.loaded.settings), std::nullopt);
  EXPECT_EQ(dir.Files(), kPair);
  EXPECT_EQ(e2e::ReadFileBytes(DatPath(dir.path())), "This is an example button{enter}\r\n");
}

// A session on a real folder whose calendar the test sets.
struct DatedSession {
  WinFileSystem fs;
  WinAnsiCodePage ansi;
  Date today{2026, 3, 9};
  Session session;
  explicit DatedSession(const std::string& dir) : session(fs, dir, ansi) {
    session.today = [this] { return today; };
    EXPECT_EQ(session.Load(LoadContext{}), std::nullopt);
  }
  std::optional<std::string> Type(const std::string& text) {
    session.store().ButtonAt(1, 1).String = text;
    session.Changed();
    return session.Save(false);
  }
};

TEST(StoreSave, DailyBackupsKeepEachDaysPairAsItWasBeforeItsFirstSave) {
  TempFolder dir;
  ASSERT_EQ(SaveAll(dir.path(), *samples::OldStore(), Settings{}), std::nullopt);
  const std::string ini = IniPath(dir.path()), dat = DatPath(dir.path());
  const std::string oldIni = e2e::ReadFileBytes(ini), oldDat = e2e::ReadFileBytes(dat);
  DatedSession s(dir.path());
  ASSERT_EQ(s.Type("day one"), std::nullopt);
  ASSERT_EQ(s.Type("day one, later"), std::nullopt);
  const std::string dayOneDat = e2e::ReadFileBytes(dat);
  s.today = {2026, 3, 10};
  ASSERT_EQ(s.Type("day two"), std::nullopt);

  const std::string backup = dir.path() + "\\backup\\";
  EXPECT_EQ(e2e::FilesIn(backup),
            (std::set<std::string>{"keystrum-2026-03-09.dat", "keystrum-2026-03-09.ini",
                                   "keystrum-2026-03-10.dat", "keystrum-2026-03-10.ini"}));
  EXPECT_EQ(e2e::ReadFileBytes(backup + "keystrum-2026-03-09.ini"), oldIni);
  EXPECT_EQ(e2e::ReadFileBytes(backup + "keystrum-2026-03-09.dat"), oldDat);
  EXPECT_EQ(e2e::ReadFileBytes(backup + "keystrum-2026-03-10.dat"), dayOneDat);
  EXPECT_EQ(dir.Files(), kPair);
}

TEST(StoreSave, ABackupThatIsAFileIsToldOnceAndTheSaveGoesOn) {
  TempFolder dir;
  ASSERT_EQ(SaveAll(dir.path(), *samples::OldStore(), Settings{}), std::nullopt);
  const std::string file = dir.path() + "\\backup";
  ASSERT_TRUE(e2e::WriteFileBytes(file, "the user's own"));
  DatedSession s(dir.path());
  const std::optional<std::string> told = s.Type("saved all the same");
  ASSERT_TRUE(told.has_value());
  EXPECT_EQ(told->rfind("Unable to write the daily backup " + file + "\n", 0), 0u) << *told;
  EXPECT_EQ(s.Type("and again"), std::nullopt);
  EXPECT_EQ(LoadAll(dir.path(), LoadContext{}).loaded.store->ButtonAt(1, 1).String, "and again");
  EXPECT_EQ(e2e::ReadFileBytes(file), "the user's own");
}

}  // namespace
}  // namespace ks
