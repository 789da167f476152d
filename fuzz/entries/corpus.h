#pragma once
// Replays a committed fuzz corpus through its entry: the inputs that once found a fault or
// reach far into the code stay tests of every build, without clang or the fuzzer.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "entries/input.h"

namespace ks::fuzz {

inline void ReplayCorpus(const std::string& name, std::string (*entry)(Input)) {
  const std::filesystem::path dir = std::filesystem::path(KS_FUZZ_CORPUS) / name;
  ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
  std::vector<std::filesystem::path> files;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    if (e.is_regular_file()) files.push_back(e.path());
  ASSERT_FALSE(files.empty()) << "no inputs in " << dir;
  for (const auto& f : files) {
    std::ifstream s(f, std::ios::binary);
    ASSERT_TRUE(s) << f;
    const std::string bytes((std::istreambuf_iterator<char>(s)), std::istreambuf_iterator<char>());
    EXPECT_EQ(entry(Input(bytes)), "") << f.filename();
  }
}

}  // namespace ks::fuzz
