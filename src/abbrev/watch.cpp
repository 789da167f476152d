#include "abbrev/watch.h"

#include <algorithm>

#include "abbrev/validate.h"
#include "text/utf.h"

namespace ks::abbrev {

namespace {

bool IsModifier(std::uint32_t key) {
  switch (key) {
    case vk::Shift:
    case vk::Control:
    case vk::Menu:
    case vk::Capital:
    case vk::LShift:
    case vk::RShift:
    case vk::LControl:
    case vk::RControl:
    case vk::LMenu:
    case vk::RMenu:
    case vk::LWin:
    case vk::RWin:
      return true;
    default:
      return false;
  }
}

bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

void AbbreviationWatch::SetAbbreviations(const std::vector<Abbreviation>& list) {
  byText_.clear();
  texts_.clear();
  lengths_.clear();
  longest_ = 0;
  std::vector<const Abbreviation*> valid;
  for (const Abbreviation& a : list)
    if (!a.Text.empty() && IsValidAbbreviation(a.Text)) valid.push_back(&a);
  // Every text is in place before the map views them: the vector does not move them again.
  texts_.reserve(valid.size());
  for (const Abbreviation* a : valid) texts_.push_back(Utf8ToUtf16(a->Text));
  for (std::size_t i = 0; i < valid.size(); ++i) {
    int chars = 0;
    for (char16_t c : texts_[i]) chars += IsLowSurrogate(c) ? 0 : 1;
    const Entry entry{valid[i]->Group, valid[i]->Button, chars, valid[i]->Locked};
    if (!byText_.try_emplace(texts_[i], entry).second) continue;
    lengths_.push_back(texts_[i].size());
  }
  std::sort(lengths_.begin(), lengths_.end(), std::greater<>());
  lengths_.erase(std::unique(lengths_.begin(), lengths_.end()), lengths_.end());
  longest_ = lengths_.empty() ? 0 : lengths_.front();
  Forget(std::min(length_, longest_));
}

void AbbreviationWatch::Forget(std::size_t keep) {
  std::copy(typed_.begin() + static_cast<std::ptrdiff_t>(length_ - keep),
            typed_.begin() + static_cast<std::ptrdiff_t>(length_), typed_.begin());
  std::fill(typed_.begin() + static_cast<std::ptrdiff_t>(keep), typed_.end(), u'\0');
  length_ = keep;
}

void AbbreviationWatch::Reset() {
  Forget(0);
  keyboard_.ForgetAccent();
}

void AbbreviationWatch::Sync(const KeyState& state) {
  keyboard_.Sync(state);
  Forget(0);
}

void AbbreviationWatch::SetPause(Pause which, bool on) {
  if (on && !paused_) Reset();
  paused_ = on ? paused_ | which : paused_ & ~which;
}

void AbbreviationWatch::Append(std::u16string_view chars) {
  for (char16_t c : chars) {
    if (length_ == longest_) Forget(length_ - 1);
    typed_[length_++] = c;
  }
}

void AbbreviationWatch::TakeLastOff() {
  if (length_ == 0) return;
  std::size_t n = 1;
  if (length_ >= 2 && IsLowSurrogate(typed_[length_ - 1]) && IsHighSurrogate(typed_[length_ - 2]))
    n = 2;
  length_ -= n;
  std::fill(typed_.begin() + static_cast<std::ptrdiff_t>(length_), typed_.end(), u'\0');
}

std::optional<Match> AbbreviationWatch::MatchAtEnd(bool mayKeepLast) {
  // Longest first: of ";sig" and "sig" both ending here, the longer one was meant.
  for (std::size_t n : lengths_) {
    if (n > length_) continue;
    const auto it = byText_.find(std::u16string_view(typed_.data() + length_ - n, n));
    if (it == byText_.end()) continue;
    Match m{it->second.Group, it->second.Button, static_cast<int>(n), it->second.Characters};
    // A locked group's abbreviation stays whole in the window while its password is asked.
    if (mayKeepLast && !it->second.Locked) {
      m.Kept = typed_[length_ - 1];
      --m.Backspaces;
      --m.Characters;
    }
    return m;
  }
  return std::nullopt;
}

bool AbbreviationWatch::EditingKey(std::uint32_t key, const Held& held) {
  switch (key) {
    case vk::Back:
      // With Ctrl a word goes; an accent waiting is what a plain Backspace takes.
      if (held.Ctrl || held.Alt || held.Win)
        Reset();
      else if (keyboard_.AccentWaiting())
        keyboard_.ForgetAccent();
      else
        TakeLastOff();
      return true;
    case vk::Tab:
    case vk::Return:
    case vk::Escape:
      // The window takes these as characters, a waiting accent with them.
      Reset();
      return true;
    case vk::Prior:
    case vk::Next:
    case vk::End:
    case vk::Home:
    case vk::Left:
    case vk::Up:
    case vk::Right:
    case vk::Down:
      // The caret moves; a waiting accent stays, as in the window.
      Forget(0);
      return true;
    default:
      return false;
  }
}

Seen AbbreviationWatch::Key(const KeyEvent& e, LayoutId layout) {
  Seen seen;
  // The held keys follow the program's own input too: the system's state does.
  const bool wasDown = keyboard_.Key(e);
  if (IsOwnInput(e)) return seen;
  if (paused_ & kTyping) seen.StopRun = StopsRun(e, wasDown);
  if (paused_ || e.Up || longest_ == 0) return seen;

  const Held held = keyboard_.Modifiers();
  if (EditingKey(e.Vk, held)) return seen;
  const bool accentBefore = keyboard_.AccentWaiting();
  const std::u16string chars = keyboard_.CharsFor(e, layout);
  if (chars.empty()) {
    // A shortcut (Ctrl+V, Ctrl+Z, Alt+Tab...) may change the text before the caret.
    if ((held.Ctrl || held.Alt || held.Win) && !IsModifier(e.Vk)) Forget(0);
    return seen;
  }
  Append(chars);
  // Only a key that made one plain character on its own may be kept from the window: one
  // that finished an accent, or left one waiting, is part of the window's own composing.
  const bool mayKeep = !focusOurs_ && !accentBefore && !keyboard_.AccentWaiting() &&
                       chars.size() == 1 && !IsHighSurrogate(chars[0]) && !IsLowSurrogate(chars[0]);
  seen.Typed = MatchAtEnd(mayKeep);
  if (seen.Typed) Forget(0);
  return seen;
}

}  // namespace ks::abbrev
