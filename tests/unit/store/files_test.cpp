#include <gtest/gtest.h>

#include "store/files.h"
#include "store/session.h"
#include "mem_fs.h"
#include "text/codepages.h"

namespace ks {
namespace {

using test::Crash;
using test::MemFs;

const test::FakeCp1252 kAnsi;

const std::string kDir = "C:\\Program Files\\Keystrum";
const std::string kIni = kDir + "\\keystrum.ini";
const std::string kDat = kDir + "\\keystrum.dat";

std::unique_ptr<Store> OldStore() {
  auto s = Store::MakeDefault();
  s->ButtonAt(1, 1).String = "old text";
  return s;
}

std::unique_ptr<Store> NewStore() {
  auto s = Store::MakeDefault();
  s->ButtonAt(1, 1) = Button{"New", "", "new text", 0, 0};
  // A Greek caption: the new pair is written in the Unicode forms, over an ANSI pair.
  s->Groups.push_back(
      Group{"Second", 2, "", {Button{"A", "", "a", 0, 0}, Button{"\xCE\xB2", "", "b", 0, 0}}});
  return s;
}

// The canonical bytes of a loaded store, to tell the old pair, the new pair and a mix apart.
std::string Fingerprint(const Loaded& l) {
  SavedFiles f = SaveSettings(*l.store, l.settings, std::nullopt, kAnsi);
  return f.ini + "|" + f.dat;
}

std::string FingerprintOf(const Store& s) {
  SavedFiles f = SaveSettings(s, Settings{}, std::nullopt, kAnsi);
  return f.ini + "|" + f.dat;
}

MemFs FolderWithOldPair() {
  MemFs fs;
  SavedFiles f = SaveSettings(*OldStore(), Settings{}, std::nullopt, kAnsi);
  fs.files[kIni] = f.ini;
  fs.files[kDat] = f.dat;
  return fs;
}

LoadOutcome Load(MemFs& fs) {
  fs.crashAt = fs.refuseAt = -1;
  return LoadFiles(fs, kDir, LoadContext{}, kAnsi);
}

TEST(StorePaths, FilesLieBesideTheProgram) {
  EXPECT_EQ(IniPath("C:\\Apps\\Keystrum"), "C:\\Apps\\Keystrum\\keystrum.ini");
  EXPECT_EQ(DatPath("C:\\Apps\\Keystrum\\"), "C:\\Apps\\Keystrum\\keystrum.dat");
  EXPECT_EQ(IniPath("/tmp/ks"), "/tmp/ks/keystrum.ini");
  EXPECT_EQ(IniPath(""), "keystrum.ini");
}

TEST(SafeSave, ASaveReplacesBothFilesAndLeavesNothingElse) {
  MemFs fs = FolderWithOldPair();
  EXPECT_EQ(SaveFiles(fs, kDir, *NewStore(), Settings{}, kAnsi), std::nullopt);
  EXPECT_EQ(fs.files.size(), 2u);
  EXPECT_EQ(Fingerprint(Load(fs).loaded), FingerprintOf(*NewStore()));
  // A first run's save creates both files.
  MemFs empty;
  EXPECT_EQ(SaveFiles(empty, kDir, *NewStore(), Settings{}, kAnsi), std::nullopt);
  EXPECT_EQ(empty.files.size(), 2u);
  EXPECT_EQ(Fingerprint(Load(empty).loaded), FingerprintOf(*NewStore()));
}

TEST(SafeSave, ACutAtAnyStepGivesTheOldPairOrTheNewPair) {
  MemFs probe = FolderWithOldPair();
  ASSERT_EQ(SaveFiles(probe, kDir, *NewStore(), Settings{}, kAnsi), std::nullopt);
  const int total = probe.steps;
  ASSERT_GT(total, 5);
  const std::string oldPrint = FingerprintOf(*OldStore());
  const std::string newPrint = FingerprintOf(*NewStore());
  int sawOld = 0, sawNew = 0;
  for (bool torn : {false, true}) {
    for (int k = 0; k < total; ++k) {
      MemFs fs = FolderWithOldPair();
      fs.crashAt = k;
      fs.tornCrash = torn;
      EXPECT_THROW(SaveFiles(fs, kDir, *NewStore(), Settings{}, kAnsi), Crash) << k;
      // The next start may itself be cut short, at any step of its recovery.
      for (int j = 0;; ++j) {
        MemFs again = fs;
        again.steps = 0;
        again.crashAt = j;
        again.tornCrash = torn;
        bool finished = true;
        try {
          Recover(again, kDir);
        } catch (const Crash&) {
          finished = false;
        }
        std::string print = Fingerprint(Load(again).loaded);
        EXPECT_TRUE(print == oldPrint || print == newPrint) << "save cut at " << k
                                                             << ", recovery cut at " << j;
        EXPECT_EQ(again.files.size(), 2u) << k << "/" << j;
        if (j == 0) (print == oldPrint ? sawOld : sawNew)++;
        if (finished) break;
      }
    }
  }
  EXPECT_GT(sawOld, 0);  // both outcomes really occur: the cut points span the commit
  EXPECT_GT(sawNew, 0);
}

TEST(SafeSave, AReadOnlySettingsFileIsReportedBeforeAnythingChanges) {
  for (const std::string& locked : {kIni, kDat}) {
    MemFs fs = FolderWithOldPair();
    auto before = fs.files;
    fs.readOnly.insert(locked);
    EXPECT_EQ(SaveFiles(fs, kDir, *NewStore(), Settings{}, kAnsi), "Unable to write to " + locked);
    EXPECT_EQ(fs.files, before);
    EXPECT_EQ(fs.steps, 0);
  }
}

TEST(SafeSave, ASaveThatWouldWriteTheFilesAsTheyAreTouchesNothing) {
  MemFs fs = FolderWithOldPair();
  ASSERT_EQ(SaveFiles(fs, kDir, *NewStore(), Settings{}, kAnsi), std::nullopt);
  const auto saved = fs.files;
  fs.steps = 0;
  fs.readOnly = {kIni, kDat};  // nothing to write: nothing to refuse either
  EXPECT_EQ(SaveFiles(fs, kDir, *NewStore(), Settings{}, kAnsi), std::nullopt);
  EXPECT_EQ(fs.steps, 0);
  EXPECT_EQ(fs.files, saved);
  // One change anywhere, in the settings or in the other file, writes again.
  Settings wider;
  wider.ButtonWidth = 150;
  EXPECT_EQ(SaveFiles(fs, kDir, *NewStore(), wider, kAnsi), "Unable to write to " + kIni);
  fs.readOnly.clear();
  fs.files[kDat] += "x";
  EXPECT_EQ(SaveFiles(fs, kDir, *NewStore(), Settings{}, kAnsi), std::nullopt);
  EXPECT_EQ(fs.files, saved);
}

TEST(SafeSave, ARefusedStepLeavesOneWholePair) {
  MemFs probe = FolderWithOldPair();
  ASSERT_EQ(SaveFiles(probe, kDir, *NewStore(), Settings{}, kAnsi), std::nullopt);
  const std::string oldPrint = FingerprintOf(*OldStore());
  const std::string newPrint = FingerprintOf(*NewStore());
  for (int k = 0; k < probe.steps; ++k) {
    MemFs fs = FolderWithOldPair();
    const auto before = fs.files;
    fs.refuseAt = k;
    std::optional<std::string> err = SaveFiles(fs, kDir, *NewStore(), Settings{}, kAnsi);
    if (err) {
      EXPECT_EQ(err->rfind("Unable to write to " + kDir + "\\keystrum.", 0), 0u) << *err;
    }
    std::string print = Fingerprint(Load(fs).loaded);
    if (!err) {
      EXPECT_EQ(print, newPrint) << k;
    }
    // Whenever the old pair stands, it stands byte for byte, with nothing left beside it.
    if (print == oldPrint) {
      EXPECT_EQ(fs.files, before) << k;
    } else {
      EXPECT_EQ(print, newPrint) << k;
    }
  }
}

TEST(SafeSave, ARefusalAfterTheFirstReplaceIsFinishedAtTheNextStart) {
  MemFs fs = FolderWithOldPair();
  fs.readOnly.insert(kDat);
  // Let the checks pass, as when another program locks the file a moment later.
  struct LateLock : MemFs {
    bool CanReplace(const std::string&) override { return true; }
  } late;
  late.files = fs.files;
  late.readOnly = fs.readOnly;
  EXPECT_EQ(SaveFiles(late, kDir, *NewStore(), Settings{}, kAnsi), "Unable to write to " + kDat);
  // Still locked: the new pair is read from where it waits; no mix.
  EXPECT_EQ(Fingerprint(Load(late).loaded), FingerprintOf(*NewStore()));
  // A save now must not overwrite what the marker vouches for.
  EXPECT_EQ(SaveFiles(late, kDir, *OldStore(), Settings{}, kAnsi), "Unable to write to " + kDat);
  late.readOnly.clear();
  EXPECT_EQ(Recover(late, kDir), std::nullopt);
  EXPECT_EQ(late.files.size(), 2u);
  EXPECT_EQ(Fingerprint(Load(late).loaded), FingerprintOf(*NewStore()));
}

TEST(SafeSave, AnUnreadableFileIsReportedAtLoad) {
  MemFs fs = FolderWithOldPair();
  fs.unreadable.insert(kDat);
  LoadOutcome out = Load(fs);
  EXPECT_EQ(out.unreadable, kDat);
  MemFs fine = FolderWithOldPair();
  EXPECT_EQ(Load(fine).unreadable, std::nullopt);
}

TEST(SafeSave, RecoverRemovesLeftoversOfAnUncommittedSave) {
  MemFs fs = FolderWithOldPair();
  fs.files[kIni + ".new"] = "[half";
  fs.files[kDat + ".new"] = "half";
  fs.files[kDir + "\\keystrum.commit"] = "keystrum save comm";  // torn marker
  EXPECT_EQ(Recover(fs, kDir), std::nullopt);
  EXPECT_EQ(fs.files.size(), 2u);
  EXPECT_EQ(Fingerprint(Load(fs).loaded), FingerprintOf(*OldStore()));
}

// ---- the session: saved a second after a change and at exit ----

TEST(SessionSave, WritesOnlyAfterAChangeOrAtExitAndTellsAFailureOnceUntilASaveSucceeds) {
  MemFs fs = FolderWithOldPair();
  Session session(fs, kDir, kAnsi);
  int timers = 0;
  session.onChanged = [&] { ++timers; };
  fs.files[kIni] = "[Groups]\r\nNumGroups=1\r\n";  // by hand, without most keys
  ASSERT_EQ(session.Load(LoadContext{}), std::nullopt);
  EXPECT_EQ(session.Save(false), std::nullopt);  // no change: the timer never ran
  session.Changed();  // a change made and taken back, as a drag onto its own place
  EXPECT_EQ(session.Save(false), std::nullopt);
  EXPECT_EQ(fs.steps, 0);
  // The exit leaves the file in the program's own form; after that, it writes nothing.
  EXPECT_EQ(session.Save(true), std::nullopt);
  EXPECT_GT(fs.steps, 0);
  fs.steps = 0;
  EXPECT_EQ(session.Save(true), std::nullopt);
  EXPECT_EQ(fs.steps, 0);

  fs.readOnly.insert(kDat);
  session.store().ButtonAt(1, 1).String = "changed";
  session.Changed();
  EXPECT_EQ(timers, 2);
  EXPECT_EQ(session.Save(false), "Unable to write to " + kDat);
  session.Changed();  // the next change tries again, and is not told twice
  EXPECT_EQ(session.Save(false), std::nullopt);
  EXPECT_EQ(session.Save(true), "Unable to write to " + kDat);  // the last chance is told

  fs.readOnly.clear();
  session.Changed();
  EXPECT_EQ(session.Save(false), std::nullopt);
  EXPECT_EQ(Load(fs).loaded.store->ButtonAt(1, 1).String, "changed");
  fs.readOnly.insert(kDat);
  session.store().ButtonAt(1, 1).String = "again";
  session.Changed();
  EXPECT_EQ(session.Save(false), "Unable to write to " + kDat);  // told anew after a success
}

TEST(SessionSave, AFileThatCouldNotBeReadIsNeverWrittenOver) {
  MemFs fs = FolderWithOldPair();
  fs.unreadable.insert(kDat);
  Session session(fs, kDir, kAnsi);
  EXPECT_EQ(session.Load(LoadContext{}),
            "Unable to read " + kDat +
                "\nChanges made in this session will not be saved, so the file is not overwritten.");
  session.Changed();
  EXPECT_EQ(session.Save(false), std::nullopt);
  EXPECT_EQ(session.Save(true), std::nullopt);
  EXPECT_EQ(fs.steps, 0);
}

}  // namespace
}  // namespace ks
