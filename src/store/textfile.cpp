#include "store/textfile.h"

namespace ks {

TextFileReader::TextFileReader(std::string_view bytes) : bytes_(bytes) {
  size_t eof = bytes_.find('\x1a');
  if (eof != std::string_view::npos) bytes_ = bytes_.substr(0, eof);
}

std::string TextFileReader::ReadLine() {
  if (AtEnd()) return {};
  size_t cr = bytes_.find('\r', pos_);
  if (cr == std::string_view::npos) cr = bytes_.size();
  std::string line(bytes_.substr(pos_, cr - pos_));
  pos_ = cr;
  if (pos_ < bytes_.size()) ++pos_;  // the CR
  if (pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
  return line;
}

void TextFileWriter::WriteLine(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\x1a') continue;  // would end the file for the reader
    if (text[i] != '\r') {
      bytes_ += text[i];
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    bytes_ += "{enter}";
  }
  bytes_ += "\r\n";
}

}  // namespace ks
