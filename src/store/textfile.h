#pragma once
// The button text file: one line per button, in store order, each ending in CR LF.
#include <string>
#include <string_view>
#include <utility>

namespace ks {

// Reads the file's lines one button at a time.
class TextFileReader {
 public:
  // Byte 26 (^Z) ends the file wherever it stands.
  explicit TextFileReader(std::string_view bytes);

  // The bytes up to the next CR; the CR and one LF right after it are skipped. A lone LF is
  // text. Past the end every read gives an empty text.
  std::string ReadLine();
  bool AtEnd() const { return pos_ >= bytes_.size(); }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
};

// Builds the file's bytes one button at a time.
class TextFileWriter {
 public:
  // Writes `text` and CR LF. The file cannot hold a CR inside a line (the reader would end
  // the line there and every later button would take its neighbour's text), so a CR LF
  // pair, or a lone CR, is written as "{enter}", which types the same key. A ^Z (byte 26)
  // would end the whole file for the reader, losing every later button's text: it is left
  // out, the one character no button can keep.
  void WriteLine(std::string_view text);
  const std::string& Bytes() const { return bytes_; }
  std::string Take() { return std::move(bytes_); }

 private:
  std::string bytes_;
};

}  // namespace ks
