#pragma once
// A layout's characters, read once: what each character key makes with Shift, Caps Lock
// and AltGr, asked of the system's translation ahead of the user's keys and kept per
// layout. Asking the system at every key costs a hook tens of microseconds on some
// systems (Wine asks its display server); a table costs a lookup. The table is filled for
// every character key alike, whatever the user types, so it tells nothing of what was
// typed; a key or a state it does not hold is asked live.
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "keys/layouts.h"

namespace ks::keys {

class LayoutCache : public KeyLayouts {
 public:
  explicit LayoutCache(KeyLayouts& system) : system_(system) {}

  int Translate(LayoutId layout, std::uint32_t key, std::uint32_t scanCode,
                const KeyState& state, char16_t* out, int capacity) override;
  char16_t Compose(char16_t base, char16_t mark) override { return system_.Compose(base, mark); }

  // Reads up to `budget` more entries of `layout`'s table from the system, so that a
  // caller can spread the reading over short steps; true once the table is whole.
  bool Fill(LayoutId layout, int budget);
  bool Complete(LayoutId layout) const;

 private:
  // The keys that make characters on the layouts in use: blank, digits, letters, the
  // numeric keypad's and the OEM keys; and Shift x Caps Lock x AltGr.
  static constexpr int kStates = 8;
  struct Entry {
    bool Known = false;
    std::int8_t Count = 0;  // as Translate answers: negative for a dead key
    char16_t Chars[4] = {};
  };
  struct Table {
    Entry Entries[256][kStates];
    int Filled = 0;  // entries of the key list read so far, in its order
  };

  // The entry of `state`, or -1 when the table cannot answer for it: a key held other
  // than Shift, Ctrl, Alt and `key` itself, a toggle other than Caps Lock, Num Lock and
  // Scroll Lock, Ctrl or Alt alone.
  static int StateIndex(std::uint32_t key, const KeyState& state);

  KeyLayouts& system_;
  std::unordered_map<LayoutId, std::unique_ptr<Table>> tables_;
};

}  // namespace ks::keys
