#include "editor/memo.h"

#include <algorithm>

#include "text/utf.h"
#include "typing/codes.h"

namespace ks {

namespace {

constexpr std::string_view kUnshifted = "`1234567890-=qwertyuiop[]asdfghjkl;'zxcvbnm,./\\";
constexpr std::string_view kShifted = "~!@#$%^&*()_+QWERTYUIOP{}ASDFGHJKL:\"ZXCVBNM<>?|";
static_assert(kUnshifted.size() == 47 && kShifted.size() == 47);

bool IsShift(int vk) { return vk == kVkShift || vk == kVkLShift || vk == kVkRShift; }

const std::string& EnterCode() {
  static const std::string code = KeyCodeText(vk::Return);
  return code;
}

// Whether an {enter}, in any letter case, ends just before byte `pos`.
bool EnterEndsAt(std::string_view text, size_t pos) {
  const size_t n = EnterCode().size();
  return pos >= n && UpperAscii(std::string(text.substr(pos - n, n))) == "{ENTER}";
}

// Whether the shown break of an {enter} starts at byte `pos`.
bool ShownBreakAt(std::string_view text, size_t pos) {
  return text.substr(pos, kShownBreak.size()) == kShownBreak && EnterEndsAt(text, pos);
}

// The caret past a shown break it stands in front of.
size_t PastShownBreak(std::string_view text, size_t pos) {
  return ShownBreakAt(text, pos) ? pos + kShownBreak.size() : pos;
}

// The change rule over the first `upTo` bytes of `text`; the rest is copied.
std::string Normalized(std::string_view text, size_t upTo) {
  static const std::string tab = KeyCodeText(vk::Tab);
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (size_t i = 0; i < upTo; ++i) {
    const char c = text[i];
    if (c == '\r') {
      if (i + 1 < upTo && text[i + 1] == '\n') ++i;
      if (!EnterEndsAt(out, out.size())) out += EnterCode();
      out += kShownBreak;
    } else if (c == '\t') {
      out += tab;
    } else {
      out += c;
    }
  }
  out += text.substr(upTo);
  return out;
}

}  // namespace

MemoText MemoFromUtf16(std::u16string_view text, size_t selStart, size_t selEnd) {
  MemoText out;
  out.Text.reserve(text.size());
  // Each position lands on the start of the character that holds it.
  bool startSet = false, endSet = false;
  size_t i = 0;
  while (i < text.size()) {
    char32_t cp = text[i];
    size_t units = 1;
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      units = 2;
    }
    if (!startSet && selStart < i + units) out.SelStart = out.Text.size(), startSet = true;
    if (!endSet && selEnd < i + units) out.SelEnd = out.Text.size(), endSet = true;
    AppendUtf8(out.Text, cp);  // a lone surrogate comes out as U+FFFD
    i += units;
  }
  if (!startSet) out.SelStart = out.Text.size();
  if (!endSet) out.SelEnd = out.Text.size();
  return out;
}

Utf16Selection SelectionInUtf16(const MemoText& memo) {
  const std::string_view text = memo.Text;
  Utf16Selection out;
  bool startSet = false, endSet = false;
  size_t units = 0;
  for (size_t pos = 0; pos < text.size();) {
    const char32_t cp = NextCodePoint(text, pos);
    if (!startSet && memo.SelStart < pos) out.Start = units, startSet = true;
    if (!endSet && memo.SelEnd < pos) out.End = units, endSet = true;
    units += cp >= 0x10000 ? 2 : 1;
  }
  if (!startSet) out.Start = units;
  if (!endSet) out.End = units;
  return out;
}

char32_t Utf16Joiner::Take(char16_t unit) {
  const char16_t high = high_;
  high_ = 0;
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    high_ = unit;
    return 0;
  }
  if (unit >= 0xDC00 && unit <= 0xDFFF)
    return high ? 0x10000 + ((char32_t{high} - 0xD800) << 10) + (unit - 0xDC00) : 0;
  return unit;
}

std::string MemoShown(std::string_view stored) {
  std::string out;
  out.reserve(stored.size() + stored.size() / 16);
  for (char c : stored) {
    out += c;
    if (c == '}' && EnterEndsAt(out, out.size())) out += kShownBreak;
  }
  return out;
}

std::string MemoStored(std::string_view shown) {
  std::string out;
  out.reserve(shown.size());
  for (size_t i = 0; i < shown.size(); ++i) {
    if (ShownBreakAt(shown, i)) {
      ++i;
      continue;
    }
    out += shown[i];
  }
  return out;
}

MemoText InsertCode(const MemoText& memo, std::string_view code) {
  const size_t size = memo.Text.size();
  size_t from = std::min({memo.SelStart, memo.SelEnd, size});
  size_t to = std::min(std::max(memo.SelStart, memo.SelEnd), size);
  if (from == to) from = to = PastShownBreak(memo.Text, from);
  MemoText out;
  out.Text = memo.Text.substr(0, from);
  out.Text += code;
  out.Text += memo.Text.substr(to);
  out.SelStart = out.SelEnd = from + code.size();
  return out;
}

std::optional<MemoText> BackspaceOverCode(const MemoText& memo) {
  size_t caret = memo.SelEnd;
  if (memo.SelStart != memo.SelEnd || memo.Text.empty() || caret == 0 ||
      caret > memo.Text.size())
    return std::nullopt;
  // An {enter} goes with its shown break, from either side of it: the break left alone
  // would be a line break that the change rule makes an {enter} again.
  size_t end = caret;
  if (caret >= kShownBreak.size() && ShownBreakAt(memo.Text, caret - kShownBreak.size()))
    caret -= kShownBreak.size();
  else if (ShownBreakAt(memo.Text, caret))
    end += kShownBreak.size();
  if (memo.Text[caret - 1] != '}') return std::nullopt;
  const size_t open = memo.Text.rfind('{', caret - 1);
  if (open == std::string::npos) return std::nullopt;
  const std::string_view inner = std::string_view(memo.Text).substr(open + 1, caret - open - 2);
  const TypeCode* code = FindTypeCode(inner);
  if (!code || code->TakesArgument()) return std::nullopt;
  MemoText out;
  out.Text = memo.Text.substr(0, open) + memo.Text.substr(end);
  out.SelStart = out.SelEnd = open;
  return out;
}

std::optional<MemoText> RemoveWideCharacter(const MemoText& memo, bool backwards) {
  const std::string_view text = memo.Text;
  if (memo.SelStart != memo.SelEnd || memo.SelEnd > text.size()) return std::nullopt;
  // Such a character takes four bytes of UTF-8, whichever it is.
  if (backwards && memo.SelEnd < 4) return std::nullopt;
  const size_t from = backwards ? memo.SelEnd - 4 : memo.SelEnd;
  if (from >= text.size()) return std::nullopt;
  size_t to = from;
  if (NextCodePoint(text, to) < 0x10000) return std::nullopt;  // U+FFFD for a broken piece
  if (backwards && to != memo.SelEnd) return std::nullopt;
  MemoText out;
  out.Text = memo.Text.substr(0, from) + memo.Text.substr(to);
  out.SelStart = out.SelEnd = from;
  return out;
}

std::string NormalizeMemoText(std::string_view text) {
  if (text.empty()) return std::string();
  // The last character waits for the user's next key, unless it ends a CR LF.
  size_t rewritten = text.size() - 1;
  if (text.size() >= 2 && text[rewritten - 1] == '\r' && text[rewritten] == '\n') ++rewritten;
  return Normalized(text, rewritten);
}

MemoText PasteIntoMemo(const MemoText& memo, std::string_view text) {
  return InsertCode(memo, Normalized(text, text.size()));
}

Utf16Change ChangeBetween(std::u16string_view from, std::u16string_view to) {
  auto low = [](char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; };
  size_t start = 0;
  const size_t common = std::min(from.size(), to.size());
  while (start < common && from[start] == to[start]) ++start;
  // Never between the halves of a pair: the first differing unit is no low half.
  if (start > 0 &&
      ((start < from.size() && low(from[start])) || (start < to.size() && low(to[start]))))
    --start;
  size_t tail = 0;
  while (tail < common - start && from[from.size() - 1 - tail] == to[to.size() - 1 - tail]) ++tail;
  // Nor is the first unit kept a low half whose high half changes.
  if (tail > 0 && low(from[from.size() - tail])) --tail;
  return Utf16Change{start, from.size() - tail, to.size() - tail};
}

MemoText NormalizeMemo(const MemoText& memo) {
  std::string normal = NormalizeMemoText(memo.Text);
  if (normal == memo.Text) return memo;
  const size_t fromEnd = memo.Text.size() - std::min(memo.Text.size(), memo.Caret());
  const size_t caret = normal.size() - std::min(normal.size(), fromEnd);
  return MemoText{std::move(normal), caret, caret};
}

char ShiftTranslate(char c) {
  const size_t pos = kUnshifted.find(c);
  return pos == std::string_view::npos ? c : kShifted[pos];
}

std::optional<MemoText> MemoKeys::KeyDown(const MemoText& memo, int vk) {
  if (IsShift(vk)) shiftDown_ = true;
  switch (vk) {
    case kVkLeft:
    case kVkUp:
    case kVkRight:
    case kVkDown: return InsertCode(memo, KeyCodeText(static_cast<std::uint8_t>(vk)));
    case kVkDelete: return RemoveWideCharacter(memo, false);
    default: return std::nullopt;
  }
}

void MemoKeys::KeyUp(int vk) {
  if (IsShift(vk)) shiftDown_ = false;
}

MemoChar MemoKeys::Char(const MemoText& memo, char32_t ch, bool recording) const {
  if (recording && unshiftedRecording_ && shiftDown_ && ch < 0x80)
    ch = static_cast<unsigned char>(ShiftTranslate(static_cast<char>(ch)));
  if (ch == '\t') return MemoChar{0, InsertCode(memo, KeyCodeText(vk::Tab))};
  // A brace typed elsewhere is a character there: as a brace in the text it would begin
  // or end a code.
  if (recording && (ch == '{' || ch == '}'))
    return MemoChar{0, InsertCode(memo, CharCodeText(static_cast<char>(ch)))};
  if (ch == '\r') return MemoChar{0, InsertCode(memo, EnterCode() + std::string(kShownBreak))};
  if (ch == '\b') {
    if (auto edit = BackspaceOverCode(memo)) return MemoChar{0, std::move(edit)};
    if (auto edit = RemoveWideCharacter(memo, true)) return MemoChar{0, std::move(edit)};
  }
  if (ch >= 0x20 && memo.SelStart == memo.SelEnd) {
    const size_t past = PastShownBreak(memo.Text, memo.SelEnd);
    if (past != memo.SelEnd) return MemoChar{ch, MemoText{memo.Text, past, past}};
  }
  return MemoChar{ch, std::nullopt};
}

}  // namespace ks
