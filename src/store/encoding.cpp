#include "store/encoding.h"

#include "text/utf.h"

namespace ks {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

std::string FromUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    const auto a = static_cast<unsigned char>(bytes[2 * i]);
    const auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
    units[i] = static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
  }
  std::string text = Utf16ToUtf8(units);
  if (bytes.size() % 2) AppendUtf8(text, kReplacementChar);  // half a unit at the end
  return text;
}

}  // namespace

DecodedFile DecodeFile(std::string_view bytes, const AnsiCodePage& ansi) {
  if (bytes.starts_with(kUtf8Mark))
    return {ValidUtf8(bytes.substr(kUtf8Mark.size())), FileForm::Utf8};
  if (bytes.starts_with(kUtf16LeMark))
    return {FromUtf16(bytes.substr(kUtf16LeMark.size()), false), FileForm::Utf16};
  if (bytes.starts_with(kUtf16BeMark))
    return {FromUtf16(bytes.substr(kUtf16BeMark.size()), true), FileForm::Utf16};
  return {ansi.ToUtf8(bytes), FileForm::Ansi};
}

std::string EncodeFile(std::string_view text, FileForm form, const AnsiCodePage& ansi) {
  if (form == FileForm::Ansi) {
    if (std::optional<std::string> bytes = ansi.FromUtf8(text)) return std::move(*bytes);
    form = FileForm::Utf8;
  }
  if (form == FileForm::Utf8) return std::string(kUtf8Mark) + ValidUtf8(text);
  const std::u16string units = Utf8ToUtf16(text);
  std::string out(kUtf16LeMark);
  out.reserve(out.size() + 2 * units.size());
  for (char16_t u : units) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  }
  return out;
}

}  // namespace ks
