// The daily backups and a button text file cut short, on a folder in memory.
#include <gtest/gtest.h>

#include <algorithm>

#include "mem_fs.h"
#include "store/backup.h"
#include "store/session.h"
#include "text/codepages.h"

namespace ks {
namespace {

using test::MemFs;

const test::FakeCp1252 kAnsi;
const std::string kDir = "C:\\Keystrum";
const std::string kIni = kDir + "\\keystrum.ini";
const std::string kDat = kDir + "\\keystrum.dat";
const std::string kBackup = kDir + "\\backup";

std::string InBackup(Date day, const char* ext) { return kBackup + "\\" + BackupName(day, ext); }

// The days the backup folder holds a file of, oldest first.
std::vector<Date> BackupDays(MemFs& fs) {
  std::vector<Date> days;
  for (const std::string& name : fs.FileNames(kBackup))
    if (auto day = BackupDay(name); day && std::find(days.begin(), days.end(), *day) == days.end())
      days.push_back(*day);
  std::sort(days.begin(), days.end());
  return days;
}

// A session over a folder whose pair holds one button typing `text`, with its own date.
struct Folder {
  MemFs fs;
  Date today{2026, 3, 10};
  Session session{fs, kDir, kAnsi};

  explicit Folder(const std::string& text = "first") {
    auto store = Store::MakeDefault();
    store->ButtonAt(1, 1).String = text;
    SavedFiles f = SaveSettings(*store, Settings{}, std::nullopt, kAnsi);
    fs.files[kIni] = f.ini;
    fs.files[kDat] = f.dat;
    session.today = [this] { return today; };
  }
  std::optional<std::string> Load() { return session.Load(LoadContext{}); }
  // Changes the one text and saves as the timer would.
  std::optional<std::string> Type(const std::string& text) {
    session.store().ButtonAt(1, 1).String = text;
    session.Changed();
    return session.Save(false);
  }
};

// ---- names ----

TEST(BackupNames, AreTheLocalDateWithTheFilesExtension) {
  EXPECT_EQ(BackupName({2026, 3, 9}, ".ini"), "keystrum-2026-03-09.ini");
  EXPECT_EQ(BackupName({999, 12, 31}, ".dat"), "keystrum-0999-12-31.dat");
  const struct {
    const char* name;
    std::optional<Date> day;
  } cases[] = {
      {"keystrum-2026-03-09.ini", Date{2026, 3, 9}},
      {"keystrum-2026-03-09.dat", Date{2026, 3, 9}},
      {"KEYSTRUM-2026-12-31.DAT", Date{2026, 12, 31}},  // the file system ignores case
      {"keystrum-2026-3-09.ini", std::nullopt},
      {"keystrum-2026-13-01.ini", std::nullopt},
      {"keystrum-2026-00-01.ini", std::nullopt},
      {"keystrum-2026-01-32.ini", std::nullopt},
      {"keystrum-2026-01-0x.ini", std::nullopt},
      {"keystrum-2026-01-01.txt", std::nullopt},
      {"keystrum-2026-01-01.ini.bak", std::nullopt},
      {"notes-2026-01-01.ini", std::nullopt},
      {"keystrum.ini", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(BackupDay(c.name), c.day) << c.name;
}

// ---- what a save keeps ----

TEST(DailyBackup, TheFirstSaveOfADayKeepsThePairAsItWasBeforeIt) {
  Folder f;
  ASSERT_EQ(f.Load(), std::nullopt);
  const std::string ini = f.fs.files[kIni], dat = f.fs.files[kDat];
  EXPECT_EQ(f.Type("second"), std::nullopt);
  EXPECT_EQ(f.fs.files[InBackup(f.today, ".ini")], ini);
  EXPECT_EQ(f.fs.files[InBackup(f.today, ".dat")], dat);
  EXPECT_EQ(f.Type("third"), std::nullopt);  // the day's backup stays the morning's
  EXPECT_EQ(f.fs.files[InBackup(f.today, ".dat")], dat);
  const std::string afterDay1 = f.fs.files[kDat];

  f.today = {2026, 3, 11};
  EXPECT_EQ(f.Type("fourth"), std::nullopt);
  EXPECT_EQ(f.fs.files[InBackup(f.today, ".dat")], afterDay1);
  // A clock set back: that day gets its backup too, and the later one stays.
  f.today = {2026, 3, 9};
  EXPECT_EQ(f.Type("fifth"), std::nullopt);
  EXPECT_EQ(BackupDays(f.fs), (std::vector<Date>{{2026, 3, 9}, {2026, 3, 10}, {2026, 3, 11}}));
  EXPECT_NE(f.fs.files[InBackup(f.today, ".dat")].find("fourth"), std::string::npos);
}

TEST(DailyBackup, ASaveThatWritesNothingKeepsNoBackup) {
  Folder f;
  ASSERT_EQ(f.Load(), std::nullopt);
  EXPECT_EQ(f.session.Save(true), std::nullopt);  // an exit after only typing
  EXPECT_EQ(f.Type("first"), std::nullopt);       // a change taken back
  EXPECT_TRUE(f.fs.FileNames(kBackup).empty());
  MemFs empty;  // a first run has no files to keep
  EXPECT_EQ(BackUpDaily(empty, kDir, {2026, 3, 10}), std::nullopt);
  EXPECT_TRUE(empty.folders.empty());
}

TEST(DailyBackup, TheFolderKeepsTodayAndTheNewestDaysUpToFourteen) {
  const Date today{2026, 3, 20};
  const struct {
    const char* what;
    int firstDay, lastDay;     // backups of March firstDay..lastDay before the save
    int keptFrom, keptTo;      // the other March days kept after it
  } cases[] = {
      {"thirteen earlier days and today make fourteen", 7, 19, 7, 19},
      {"the oldest of fourteen earlier days goes", 6, 19, 7, 19},
      {"of twenty earlier days the newest thirteen stay", 1, 19, 7, 19},
      {"a clock set back: today stays, beside the newest later days", 21, 31, 21, 31},
      {"a clock set back behind fourteen later days", 21, 31 + 4, 23, 31 + 4},
  };
  for (const auto& c : cases) {
    Folder f;
    f.today = today;
    std::vector<Date> kept;
    for (int d = c.firstDay; d <= c.lastDay; ++d) {
      const Date day = d <= 31 ? Date{2026, 3, d} : Date{2026, 4, d - 31};
      f.fs.files[InBackup(day, ".ini")] = f.fs.files[InBackup(day, ".dat")] = "old";
      if (d >= c.keptFrom && d <= c.keptTo) kept.push_back(day);
    }
    f.fs.folders.insert(kBackup);
    f.fs.files[kBackup + "\\notes.txt"] = f.fs.files[kBackup + "\\keystrum-2026-13-01.ini"] = "mine";
    ASSERT_EQ(f.Load(), std::nullopt) << c.what;
    EXPECT_EQ(f.Type("changed"), std::nullopt) << c.what;
    kept.push_back(today);
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(BackupDays(f.fs), kept) << c.what;
    EXPECT_LE(kept.size(), size_t(kBackupDays)) << c.what;
    EXPECT_EQ(f.fs.files.count(kBackup + "\\notes.txt"), 1u) << c.what;
    EXPECT_EQ(f.fs.files.count(kBackup + "\\keystrum-2026-13-01.ini"), 1u) << c.what;
  }
}

// ---- a backup that cannot be written ----

TEST(DailyBackup, OneThatCannotBeWrittenIsToldOnceAndTheSaveGoesOn) {
  const struct {
    const char* what;
    void (*spoil)(MemFs&);
    std::string told;  // the path in the message
  } cases[] = {
      {"a file named backup", [](MemFs& fs) { fs.files[kBackup] = "a file of the user's"; },
       kBackup},
      {"a folder without the rights",
       [](MemFs& fs) {
         fs.folders.insert(kBackup);
         fs.readOnlyFolders.insert(kBackup);
       },
       InBackup({2026, 3, 10}, ".ini")},
      {"the second file refused",
       [](MemFs& fs) { fs.readOnly.insert(InBackup({2026, 3, 10}, ".dat")); },
       InBackup({2026, 3, 10}, ".dat")},
  };
  for (const auto& c : cases) {
    Folder f;
    c.spoil(f.fs);
    const auto before = f.fs.files;
    ASSERT_EQ(f.Load(), std::nullopt);
    const std::optional<std::string> told = f.Type("second");
    ASSERT_TRUE(told.has_value()) << c.what;
    EXPECT_EQ(told->rfind("Unable to write the daily backup " + c.told + "\n", 0), 0u)
        << c.what << ": " << *told;
    EXPECT_NE(f.fs.files[kDat].find("second"), std::string::npos) << c.what;
    EXPECT_EQ(BackupDays(f.fs), std::vector<Date>{}) << c.what << ": no half a backup";
    EXPECT_EQ(f.Type("third"), std::nullopt) << c.what << ": told once";
    EXPECT_NE(f.fs.files[kDat].find("third"), std::string::npos) << c.what;
    if (before.count(kBackup)) {
      EXPECT_EQ(f.fs.files[kBackup], before.at(kBackup)) << c.what;
    }
    // Mended, the next save keeps the day's backup; broken again, it is told again.
    f.fs.files.erase(kBackup);
    f.fs.readOnly.clear();
    f.fs.readOnlyFolders.clear();
    EXPECT_EQ(f.Type("fourth"), std::nullopt) << c.what;
    EXPECT_NE(f.fs.files[InBackup(f.today, ".dat")].find("third"), std::string::npos) << c.what;
    f.today = {2026, 3, 11};
    f.fs.readOnlyFolders.insert(kBackup);
    EXPECT_NE(f.Type("fifth"), std::nullopt) << c.what << ": told anew after a success";
  }
}

// ---- a button text file cut short ----

// A pair whose settings count `buttons` buttons in one group and whose text file holds
// `bytes`.
MemFs PairWithTexts(int buttons, const std::string& bytes) {
  auto store = Store::MakeDefault();
  store->GroupAt(1).Buttons.resize(buttons);
  MemFs fs;
  fs.files[kIni] = SaveSettings(*store, Settings{}, std::nullopt, kAnsi).ini;
  fs.files[kDat] = bytes;
  return fs;
}

TEST(ShortTextFile, TheTextsMissingAreCountedAndTheRestLoaded) {
  const struct {
    int buttons;
    std::string dat;
    int missing;
    const char* last;  // the text of the last button loaded
  } cases[] = {
      {3, "a\r\nb\r\nc\r\n", 0, "c"},
      {3, "a\r\nb\r\n\r\n", 0, ""},  // an empty last text is no missing one
      {3, "a\r\nb\r\n", 1, ""},
      {3, "a\r\nb", 1, ""},          // cut inside a line: what there is of it is kept
      {3, "", 3, ""},
      {3, "\xEF\xBB\xBF" "a\r\n", 2, ""},
      {2, "a\r\nb\r\nc\r\n", 0, "b"},  // more lines than buttons: not short
  };
  for (const auto& c : cases) {
    MemFs fs = PairWithTexts(c.buttons, c.dat);
    LoadOutcome out = LoadFiles(fs, kDir, LoadContext{}, kAnsi);
    EXPECT_EQ(out.loaded.missingTexts, c.missing) << c.dat;
    EXPECT_EQ(out.loaded.store->ButtonAt(1, c.buttons).String, c.last) << c.dat;
    EXPECT_EQ(out.shortDat.has_value(), c.missing > 0) << c.dat;
  }
}

TEST(ShortTextFile, IsToldAtStartAndKeptBesideBeforeTheFirstSave) {
  MemFs fs = PairWithTexts(3, "a\r\nb\r\n");
  Session session(fs, kDir, kAnsi);
  EXPECT_EQ(session.Load(LoadContext{}),
            "keystrum.dat is cut short: 1 text is missing.\nThe buttons have their texts as far "
            "as the file goes. A copy of the file as it is now is kept as keystrum.dat.short "
            "before Keystrum writes over it.");
  EXPECT_EQ(session.store().ButtonAt(1, 2).String, "b");
  fs.readOnly.insert(kDat + ".short");  // without the copy, nothing is written
  session.Changed();
  session.store().ButtonAt(1, 3).String = "c";
  EXPECT_EQ(session.Save(false), "Unable to write to " + kDat + ".short");
  EXPECT_EQ(fs.files[kDat], "a\r\nb\r\n");
  fs.readOnly.clear();
  session.Changed();
  EXPECT_EQ(session.Save(false), std::nullopt);
  EXPECT_EQ(fs.files[kDat + ".short"], "a\r\nb\r\n");
  EXPECT_EQ(fs.files[kDat], "a\r\nb\r\nc\r\n");
  // Kept once: a later save leaves the copy as the short file was.
  fs.files[kDat + ".short"] = "moved aside by the user";
  session.store().ButtonAt(1, 3).String = "d";
  session.Changed();
  EXPECT_EQ(session.Save(false), std::nullopt);
  EXPECT_EQ(fs.files[kDat + ".short"], "moved aside by the user");

  MemFs two = PairWithTexts(3, "a\r\n");
  Session twoMissing(two, kDir, kAnsi);
  EXPECT_EQ(twoMissing.Load(LoadContext{})->substr(0, 43),
            "keystrum.dat is cut short: 2 texts are miss");
}

}  // namespace
}  // namespace ks
