#pragma once
// What the fuzz entries share: a reader that takes a fuzzer's bytes apart into the pieces
// of one case, and the way an entry reports a broken rule. An entry returns an empty string
// when every rule held, else what went wrong, so the fuzzers can stop on it and the corpus
// replay in the unit tests can name it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ks::fuzz {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  explicit Input(std::string_view s)
      : data_(reinterpret_cast<const uint8_t*>(s.data())), size_(s.size()) {}

  bool Empty() const { return pos_ >= size_; }
  size_t Left() const { return size_ - pos_; }

  // 0 once the bytes are used up, so every case is finite.
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  uint16_t Word() {
    const uint16_t lo = Byte();
    return static_cast<uint16_t>(lo | (Byte() << 8));
  }
  // Up to `n` bytes.
  std::string Bytes(size_t n) {
    n = std::min(n, Left());
    std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return s;
  }
  // A length byte and that many bytes.
  std::string Short() { return Bytes(Byte()); }
  std::string Rest() { return Bytes(Left()); }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// Shows bytes readably in a failure: printable ASCII as is, the rest as \xNN.
inline std::string Quote(std::string_view s, size_t max = 200) {
  static const char* hex = "0123456789abcdef";
  std::string out = "\"";
  for (size_t i = 0; i < s.size() && i < max; ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
      out += static_cast<char>(c);
    } else {
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  if (s.size() > max) out += "...";
  return out + "\"";
}

}  // namespace ks::fuzz

#include <cstdio>
#include <cstdlib>

namespace ks::fuzz {

// The body of a fuzzer: a broken rule is reported and ends the run like a crash, so the
// fuzzer keeps the input that broke it.
inline int RunEntry(std::string (*entry)(Input), const uint8_t* data, size_t size) {
  const std::string error = entry(Input(data, size));
  if (!error.empty()) {
    std::fprintf(stderr, "broken rule: %s\n", error.c_str());
    std::abort();
  }
  return 0;
}

}  // namespace ks::fuzz
