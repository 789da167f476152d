#pragma once
// The forms the two files come in. Files written before texts went Unicode are in the
// system's ANSI code page, and a store that fits it is still written so, byte for byte.
// One that does not is written with a byte-order mark: keystrum.dat as UTF-8 and
// keystrum.ini as UTF-16LE, the form the platform's own profile functions read.
#include <string>
#include <string_view>

#include "text/codepage.h"

namespace ks {

enum class FileForm { Ansi, Utf8, Utf16 };  // the last two with their byte-order mark

struct DecodedFile {
  std::string text;  // UTF-8, without the byte-order mark
  FileForm form = FileForm::Ansi;
};

// Tells the form by the byte-order mark (UTF-16 big-endian is read too, and counts as
// UTF-16) and converts the whole file. An invalid piece of UTF-8 or UTF-16, an odd last
// byte included, reads as U+FFFD; the rest is kept.
DecodedFile DecodeFile(std::string_view bytes, const AnsiCodePage& ansi);

// `text` in `form`; for Ansi, `text` must fit the code page (else it is written as UTF-8
// with its mark, so that nothing is lost).
std::string EncodeFile(std::string_view text, FileForm form, const AnsiCodePage& ansi);

}  // namespace ks
