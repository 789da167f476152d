// Our INI engine against the platform's private-profile functions, on a few hundred files
// generated from a fixed seed: every key reads the same through both, and what either side
// writes, the other reads; in ANSI files through the ...A functions and in UTF-16 files,
// with values in several scripts, through the ...W functions.
//
// Known differences, kept out of the generated files:
//  - a quoted value whose text is exactly 2047 bytes: the platform's copy drops the last
//    byte along with the closing quote, ours returns the whole text;
//  - names outside ASCII: the platform folds their case through Unicode, ours only A-Z;
//  - keys before the first section are reached on the platform with an empty section name,
//    which the program never uses; ours never returns them;
//  - blanks outside ASCII (a no-break or an ideographic space) around a value: the platform
//    trims them in a UTF-16 file, ours keeps them;
//  - a value cut at 2047 UTF-16 units: the platform may cut a surrogate pair in half, ours
//    stops before the pair.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <vector>

#include "store/encoding.h"
#include "store/ini.h"
#include "text/utf.h"
#include "support/harness.h"
#include "text/codepage_win.h"

namespace ks {
namespace {

// A small generator of our own, so that every compiler makes the same files.
class Rng {
 public:
  explicit Rng(uint64_t seed) : s_(seed) {}
  uint32_t Next() {
    s_ = s_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(s_ >> 33);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
  bool Chance(int percent) { return Below(100) < percent; }
  template <class T>
  const T& Pick(const std::vector<T>& v) {
    return v[static_cast<size_t>(Below(static_cast<int>(v.size())))];
  }

 private:
  uint64_t s_;
};

const std::vector<std::string> kSections = {"Window", "Groups", "Commands", "Commands1",
                                            "two words"};
const std::vector<std::string> kKeys = {"XPosition", "Caption1", "Caption12", "Password",
                                        "a b", "NumCommands"};

std::string RandomCase(Rng& r, const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (r.Chance(30)) c = static_cast<char>(islower(c) ? toupper(c) : tolower(c));
  return out;
}

std::string Blanks(Rng& r) {
  static const std::vector<std::string> kinds = {"", "", "", " ", "  ", "\t", " \t "};
  return r.Pick(kinds);
}

// With `scripts`, a value holds Greek, Cyrillic, Japanese, accented Latin, signs and emoji
// too; a long one only characters of one unit, so no cut falls inside a pair.
std::string Value(Rng& r, bool scripts = false) {
  static const std::string chars = "abcXYZ019 ;=[]#$-_.,'\"";
  static const std::vector<std::string> others = {
      "\xCE\xB1", "\xCE\xA9", "\xD0\x96", "\xE6\x97\xA5", "\xE6\x9C\xAC", "\xC3\xA9",
      "\xE2\x9C\x93", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xF0\x9F\x91\x8D"};
  std::string v;
  int len = r.Chance(3) ? 2100 + r.Below(200) : r.Below(12);
  for (int i = 0; i < len; ++i) {
    if (scripts && r.Chance(40)) {
      v += others[static_cast<size_t>(r.Below(len > 2000 ? 8 : int(others.size())))];
      continue;
    }
    v += chars[static_cast<size_t>(r.Below(int(chars.size())))];
  }
  int shape = r.Below(10);
  if (shape == 0) v = "\"" + v + "\"";
  if (shape == 1) v = "'" + v + "'";
  if (shape == 2) v = "\"" + v + "'";
  if (shape == 3) v = "\"" + v;
  if (shape == 4) v = "0x1F";
  return v;
}

std::string RandomFile(Rng& r, bool scripts = false) {
  static const std::vector<std::string> eols = {"\r\n", "\r\n", "\n", "\r"};
  const std::string eol = r.Pick(eols);  // mostly one kind per file, now and then mixed
  std::string f;
  int lines = 3 + r.Below(40);
  for (int i = 0; i < lines; ++i) {
    int kind = r.Below(20);
    std::string line;
    if (kind < 4) {
      line = Blanks(r) + "[" + Blanks(r) + RandomCase(r, r.Pick(kSections)) + Blanks(r) + "]";
      if (r.Chance(10)) line += " trailing";
    } else if (kind == 4) {
      line = "[" + r.Pick(kSections);  // no closing bracket
    } else if (kind == 5) {
      line = Blanks(r) + ";" + r.Pick(kKeys) + "=comment";
    } else if (kind == 6) {
      line = Blanks(r) + RandomCase(r, r.Pick(kKeys)) + Blanks(r);  // no "="
    } else if (kind == 7) {
      line = "";
    } else {
      line = Blanks(r) + RandomCase(r, r.Pick(kKeys)) + Blanks(r) + "=" + Blanks(r) +
             Value(r, scripts) + Blanks(r);
    }
    f += line + (r.Chance(10) ? r.Pick(eols) : eol);
  }
  if (r.Chance(20)) f.resize(f.size() - (f.back() == '\n' && f.size() > 1 && f[f.size() - 2] == '\r' ? 2 : 1));
  return f;
}

std::string PlatformRead(const std::string& path, const std::string& section,
                         const std::string& key) {
  std::vector<char> buf(2048);
  DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), "<default>", buf.data(),
                                     static_cast<DWORD>(buf.size()), path.c_str());
  return std::string(buf.data(), n);
}

std::string PlatformReadWide(const std::string& path, const std::string& section,
                             const std::string& key) {
  std::vector<wchar_t> buf(2048);
  DWORD n = GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), L"<default>",
                                     buf.data(), static_cast<DWORD>(buf.size()),
                                     Wide(path).c_str());
  return Utf8(std::wstring_view(buf.data(), n));
}

std::string OursRead(const IniFile& ini, const std::string& section, const std::string& key) {
  return ini.GetString(section, key, "<default>");
}

class StoreIniFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    dir_ = std::string(base) + "ks-ini-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const std::string& f : made_) DeleteFileA(f.c_str());
    RemoveDirectoryA(dir_.c_str());
  }
  // Each file gets a name of its own: the platform caches what it has read by name.
  std::string NewPath() {
    made_.push_back(dir_ + "\\case" + std::to_string(made_.size()) + ".ini");
    return made_.back();
  }
  // Every name of the pools, in odd cases and with blanks around, read through both; a
  // UTF-16 file through the wide functions, after our reader has taken its form off.
  int CompareAll(Rng& r, const std::string& path, const std::string& what, bool wide = false) {
    IniFile ours(wide ? DecodeFile(e2e::ReadFileBytes(path), WinAnsiCodePage()).text
                      : e2e::ReadFileBytes(path));
    int compared = 0;
    for (const std::string& s : kSections)
      for (const std::string& k : kKeys) {
        std::string qs = Blanks(r) + RandomCase(r, s) + Blanks(r);
        std::string qk = Blanks(r) + RandomCase(r, k) + Blanks(r);
        std::string platform = wide ? PlatformReadWide(path, qs, qk) : PlatformRead(path, qs, qk);
        EXPECT_EQ(OursRead(ours, qs, qk), platform)
            << what << ": [" << qs << "] " << qk << " in\n"
            << e2e::ReadFileBytes(path);
        ++compared;
      }
    return compared;
  }

  std::string dir_;
  std::vector<std::string> made_;
};

TEST_F(StoreIniFiles, GeneratedFilesReadTheSameThroughBoth) {
  Rng r(20240611);
  int compared = 0, found = 0;
  for (int i = 0; i < 300; ++i) {
    std::string path = NewPath();
    std::string bytes = RandomFile(r);
    ASSERT_TRUE(e2e::WriteFileBytes(path, bytes));
    compared += CompareAll(r, path, "file " + std::to_string(i));
    IniFile ours(bytes);
    for (const std::string& s : kSections)
      for (const std::string& k : kKeys) found += ours.Get(s, k).has_value();
  }
  EXPECT_GT(compared, 5000);
  EXPECT_GT(found, 1000);  // the files really hold keys to find, not only defaults
}

TEST_F(StoreIniFiles, WhatWeWriteThePlatformReads) {
  Rng r(7);
  for (int i = 0; i < 100; ++i) {
    IniFile ours(RandomFile(r));
    for (int w = 0; w < 10; ++w) {
      std::string text = Value(r);
      if (text.size() > 2000) text.resize(40);
      ours.Set(RandomCase(r, r.Pick(kSections)), RandomCase(r, r.Pick(kKeys)),
               r.Chance(50) ? EncodeValue(Blanks(r) + text + Blanks(r)) : text);
    }
    ours.Set("Brand New", "Key", EncodeValue(" padded "));
    std::string path = NewPath();
    ASSERT_TRUE(e2e::WriteFileBytes(path, ours.Serialize()));
    CompareAll(r, path, "written by us " + std::to_string(i));
    EXPECT_EQ(PlatformRead(path, "brand new", "key"), " padded ");
  }
}

TEST_F(StoreIniFiles, WhatThePlatformWritesWeRead) {
  Rng r(99);
  for (int i = 0; i < 100; ++i) {
    std::string path = NewPath();
    ASSERT_TRUE(e2e::WriteFileBytes(path, RandomFile(r)));
    std::vector<std::pair<std::string, std::string>> plain;
    for (int w = 0; w < 10; ++w) {
      std::string section = RandomCase(r, r.Pick(kSections));
      std::string key = RandomCase(r, r.Pick(kKeys));
      std::string text = Value(r);
      if (text.size() > 2000) text.resize(40);
      ASSERT_TRUE(WritePrivateProfileStringA(section.c_str(), key.c_str(),
                                             EncodeValue(text).c_str(), path.c_str()));
      plain.emplace_back(section, key);
    }
    ASSERT_TRUE(WritePrivateProfileStringA("Brand New", "Key", "\" padded \"", path.c_str()));
    CompareAll(r, path, "written by the platform " + std::to_string(i));
    IniFile ours(e2e::ReadFileBytes(path));
    EXPECT_EQ(ours.Get("brand new", "key"), " padded ");
  }
}

TEST_F(StoreIniFiles, Utf16FilesInAnyScriptReadTheSameThroughBoth) {
  Rng r(1311);
  const WinAnsiCodePage ansi;
  int compared = 0, found = 0;
  for (int i = 0; i < 150; ++i) {
    std::string path = NewPath();
    const std::string text = RandomFile(r, true);
    ASSERT_TRUE(e2e::WriteFileBytes(path, EncodeFile(text, FileForm::Utf16, ansi)));
    compared += CompareAll(r, path, "UTF-16 file " + std::to_string(i), true);
    IniFile ours(text);
    for (const std::string& s : kSections)
      for (const std::string& k : kKeys) found += ours.Get(s, k).has_value();
  }
  EXPECT_GT(compared, 2500);
  EXPECT_GT(found, 500);
}

TEST_F(StoreIniFiles, Utf16WhatEitherSideWritesTheOtherReads) {
  Rng r(1312);
  const WinAnsiCodePage ansi;
  for (int i = 0; i < 50; ++i) {
    // Ours, written in the form the program uses once a text needs more than ANSI.
    IniFile ours(RandomFile(r, true));
    for (int w = 0; w < 10; ++w) {
      std::string text = Value(r, true);
      if (text.size() > 2000) text.resize(40);
      ours.Set(RandomCase(r, r.Pick(kSections)), RandomCase(r, r.Pick(kKeys)),
               EncodeValue(ValidUtf8(text)));
    }
    std::string path = NewPath();
    ASSERT_TRUE(e2e::WriteFileBytes(path, EncodeFile(ours.Serialize(), FileForm::Utf16, ansi)));
    CompareAll(r, path, "UTF-16 written by us " + std::to_string(i), true);

    // The platform's, written into a UTF-16 file, which it keeps in that form.
    path = NewPath();
    ASSERT_TRUE(e2e::WriteFileBytes(path, EncodeFile(RandomFile(r, true), FileForm::Utf16, ansi)));
    for (int w = 0; w < 10; ++w) {
      std::string text = Value(r, true);
      if (text.size() > 2000) text.resize(40);
      ASSERT_TRUE(WritePrivateProfileStringW(Wide(RandomCase(r, r.Pick(kSections))).c_str(),
                                             Wide(RandomCase(r, r.Pick(kKeys))).c_str(),
                                             Wide(EncodeValue(ValidUtf8(text))).c_str(),
                                             Wide(path).c_str()));
    }
    ASSERT_TRUE(WritePrivateProfileStringW(L"Brand New", L"Key", L"\u03B1\U0001F600",
                                           Wide(path).c_str()));
    EXPECT_EQ(e2e::ReadFileBytes(path).substr(0, 2), "\xFF\xFE");
    CompareAll(r, path, "UTF-16 written by the platform " + std::to_string(i), true);
    IniFile back(DecodeFile(e2e::ReadFileBytes(path), ansi).text);
    EXPECT_EQ(back.Get("brand new", "key"), "\xCE\xB1\xF0\x9F\x98\x80");
  }
}

}  // namespace
}  // namespace ks
