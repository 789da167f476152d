#include "keys/dead_keys.h"

namespace ks::keys {

char16_t CombiningMarkFor(char16_t accent) {
  switch (accent) {
    case u'`': return 0x0300;
    case 0x00B4: case u'\'': return 0x0301;  // acute; the apostrophe of international layouts
    case u'^': case 0x02C6: return 0x0302;
    case u'~': case 0x02DC: return 0x0303;
    case 0x00AF: return 0x0304;
    case 0x02D8: return 0x0306;
    case 0x02D9: return 0x0307;
    case 0x00A8: case u'"': return 0x0308;
    case 0x02DA: case 0x00B0: return 0x030A;
    case 0x02DD: return 0x030B;
    case 0x02C7: return 0x030C;
    case 0x00B8: return 0x0327;
    case 0x02DB: return 0x0328;
    default: return 0;
  }
}

std::u16string DeadKeys::Press(const LayoutKey& key) {
  if (key.Chars.empty()) return {};
  if (key.Dead) {
    if (pending_ == 0) {
      pending_ = key.Chars[0];
      return {};
    }
    std::u16string out(1, pending_);
    pending_ = 0;
    return out + key.Chars;
  }
  if (pending_ == 0) return key.Chars;
  const char16_t accent = pending_;
  pending_ = 0;
  if (key.Chars[0] == u' ') return std::u16string(1, accent) + key.Chars.substr(1);
  const char16_t mark = CombiningMarkFor(accent);
  if (const char16_t composed = mark && compose_ ? compose_(key.Chars[0], mark) : 0)
    return std::u16string(1, composed) + key.Chars.substr(1);
  return std::u16string(1, accent) + key.Chars;
}

}  // namespace ks::keys
