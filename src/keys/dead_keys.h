#pragma once
// What a key pressed in another program puts into it, when the layout has dead keys: an
// accent key makes nothing at once and changes the next character. The hook library asks
// the layout about every key without touching the layout's own pending accent (the other
// program's typing must not lose it), so it follows the accent itself with this class.
#include <functional>
#include <string>

namespace ks::keys {

// The combining mark for the spacing accent a dead key reports (^ gives U+0302, ¨ gives
// U+0308 ...); 0 for a character that is no accent.
char16_t CombiningMarkFor(char16_t accent);

// What the layout makes of one key press, asked without its pending accent.
struct LayoutKey {
  std::u16string Chars;  // the characters the key makes; empty for Shift, arrows...
  bool Dead = false;     // an accent key: Chars holds its spacing accent
};

class DeadKeys {
 public:
  // The precomposed character of `base` followed by combining `mark`, 0 when there is
  // none (the system's normalisation on Windows, a table in tests).
  using Compose = std::function<char16_t(char16_t base, char16_t mark)>;
  explicit DeadKeys(Compose compose) : compose_(std::move(compose)) {}

  // The characters the program typed into receives for `key`, as the system's own dead
  // key handling gives them: an accent waits; the next character takes it when the two
  // compose (^ e gives ê), a space gives the accent alone, anything else comes after the
  // accent (^ x gives ^x, as does a second accent key: ^ ¨ gives ^¨). Keys that make no
  // character leave a waiting accent waiting.
  std::u16string Press(const LayoutKey& key);
  void Reset() { pending_ = 0; }
  // Whether an accent waits for the next character.
  bool Waiting() const { return pending_ != 0; }

 private:
  Compose compose_;
  char16_t pending_ = 0;
};

}  // namespace ks::keys
