#pragma once
// The fixture of the typing engine's tests: a Typist on the fake ports of fakes.h, typing
// into window 7, and readings of what it sent.
#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "typing/fakes.h"
#include "typing/typist.h"

namespace ks {

class TypistTest : public ::testing::Test {
 protected:
  // The window a press would type into.
  WindowId target = 7;

  // The key transitions of the journal, without flushes and host calls.
  std::vector<std::string> Keys() const {
    std::vector<std::string> out;
    for (const auto& e : journal)
      if (e[0] == '+' || e[0] == '-' || e.rfind("U+", 0) == 0) out.push_back(e);
    return out;
  }

  // What the recorded keys type on the US layout: characters found back through the
  // layout from key and Shift state, other keys as <Name>, Unicode events as <U+XXXX>.
  std::string Typed() const {
    std::string out;
    bool shift = false, ctrl = false, alt = false;
    for (const auto& ev : sink.events) {
      if (ev.unicode) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "<U+%04X>", unsigned(ev.ch));
        out += buf;
        continue;
      }
      if (ev.vk == 16) { shift = !ev.up; continue; }
      if (ev.vk == 17) { ctrl = !ev.up; continue; }
      if (ev.vk == 18) { alt = !ev.up; continue; }
      if (ev.up) continue;
      const int want = ev.vk | (shift ? 0x100 : 0) | (ctrl ? 0x200 : 0) | (alt ? 0x400 : 0);
      std::string found;
      if (ev.vk != 8 && ev.vk != 9 && ev.vk != 13)
        for (int c = 32; c < 128 && found.empty(); ++c)
          if (layout.CharToKey(0, char16_t(c)) == want) found = std::string(1, char(c));
      out += found.empty() ? "<" + test::KeyName(ev.vk) + ">" : found;
    }
    return out;
  }

  std::string TypeOut(const std::string& text) {
    journal.clear();
    sink.events.clear();
    typist.SendString(target, text);
    return Typed();
  }
  // Each text, typed on its own, gives what its pair says.
  void ExpectTyped(std::initializer_list<std::pair<std::string, std::string>> cases) {
    for (const auto& [text, typed] : cases) EXPECT_EQ(TypeOut(text), typed) << text;
  }

  test::Journal journal;
  test::UsLayout layout;
  test::RecordingSink sink{journal};
  test::FixedClock clock;
  test::ScriptedHost host{journal};
  Typist typist{host.Ports(sink, layout, clock)};
};

// The key transitions that reached the system, as "+A -A U+00E9 ...".
inline std::string Sent(const test::RecordingSink& sink) {
  std::string out;
  for (const auto& ev : sink.events) {
    if (!out.empty()) out += ' ';
    if (ev.unicode) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "U+%04X", unsigned(ev.ch));
      out += buf;
    } else {
      out += (ev.up ? "-" : "+") + test::KeyName(ev.vk);
    }
  }
  return out;
}

}  // namespace ks
