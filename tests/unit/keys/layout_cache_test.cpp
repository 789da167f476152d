#include "keys/layout_cache.h"

#include <gtest/gtest.h>

#include "keys/fakes.h"

namespace ks::keys {
namespace {

using namespace test;

// The answer of a layout for `key` in `state`, as one string: its count, then its units.
std::u16string Answer(KeyLayouts& layouts, LayoutId layout, std::uint32_t key,
                      const KeyState& state) {
  char16_t out[8] = {};
  const int n = layouts.Translate(layout, key, 0, state, out, 8);
  return std::u16string(1, static_cast<char16_t>(n + 100)) + std::u16string(out, n < 0 ? 1 : n);
}

KeyState State(std::uint32_t key, bool shift, bool caps, bool altGr) {
  KeyState s{};
  s[key] = 0x80;
  if (shift) s[vk::RShift] = s[vk::Shift] = 0x80;
  if (caps) s[vk::Capital] = 1;
  if (altGr) s[vk::LControl] = s[vk::RMenu] = s[vk::Control] = s[vk::Menu] = 0x80;
  return s;
}

TEST(LayoutCache, AnswersAsTheSystemDoesOnceItsTableIsRead) {
  FakeLayouts system;
  LayoutCache cache(system);
  for (LayoutId layout : {kUs, kGerman, kFrench}) {
    int steps = 1;
    while (!cache.Fill(layout, 100)) ++steps;
    EXPECT_EQ(steps, 6) << "66 keys in 8 states, 100 a step";
    EXPECT_TRUE(cache.Complete(layout));
  }
  EXPECT_FALSE(cache.Complete(0x04110411));
  auto eachQuestion = [](auto ask) {
    for (LayoutId layout : {kUs, kGerman, kFrench})
      for (std::uint32_t key = 1; key < 256; ++key)
        for (int i = 0; i < 8; ++i) ask(layout, key, State(key, i & 1, i & 2, i & 4));
  };
  system.Asked.clear();
  std::vector<std::u16string> cached;
  eachQuestion([&](LayoutId l, std::uint32_t k, const KeyState& s) {
    cached.push_back(Answer(cache, l, k, s));
  });
  EXPECT_EQ(system.Asked.size(), 3u * (255 - 66) * 8) << "only keys outside the table asked";
  std::size_t i = 0;
  eachQuestion([&](LayoutId l, std::uint32_t k, const KeyState& s) {
    ASSERT_EQ(cached[i++], Answer(system, l, k, s)) << "layout " << l << " key " << k;
  });
}

TEST(LayoutCache, AsksLiveWhatItsTableCannotAnswer) {
  FakeLayouts system;
  LayoutCache cache(system);
  KeyState plain = State('Q', false, false, false);
  Answer(cache, kGerman, 'Q', plain);
  EXPECT_EQ(system.Asked.size(), 1u) << "a layout not read yet";
  cache.Fill(kGerman, 8 * 10);  // blank and the digits
  system.Asked.clear();
  Answer(cache, kGerman, '1', State('1', true, false, false));
  Answer(cache, kGerman, 'Q', plain);  // not read yet
  EXPECT_EQ(system.Asked.size(), 1u);
  while (!cache.Fill(kGerman, 100)) {
  }
  KeyState ctrl = plain;
  ctrl[vk::LControl] = ctrl[vk::Control] = 0x80;
  KeyState other = plain;
  other[kOem5] = 0x80;  // another key held with it
  KeyState kana = plain;
  kana[0x15] = 1;  // a toggle the table does not know
  system.Asked.clear();
  EXPECT_EQ(Answer(cache, kGerman, 'Q', ctrl), Answer(system, kGerman, 'Q', ctrl));
  Answer(cache, kGerman, 'Q', other);
  Answer(cache, kGerman, 'Q', kana);
  Answer(cache, kGerman, vk::Back, plain);  // no character key
  EXPECT_EQ(system.Asked.size(), 5u);
}

}  // namespace
}  // namespace ks::keys
