// The type codes of a run: what each one of typing/codes.h does.
#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "text/utf.h"
#include "typing/codes.h"
#include "typing/keys.h"
#include "typing/typist.h"

namespace ks {

namespace {

// RUN and LIST parameters and entries are cut to this many UTF-16 units, silently, never
// inside a character.
constexpr std::size_t kMaxArgument = 255;

// A wait is a run of short ones, after each of which a key of the user's may have ended
// the run.
constexpr int kPauseSliceMs = 50;

std::string Cut(const std::string& s, std::size_t from) {
  if (from >= s.size()) return {};
  return std::string(Utf8Prefix(std::string_view(s).substr(from), kMaxArgument));
}

}  // namespace

void Typist::RunCode(const std::string& code) {
  const TypeCode* c = FindTypeCode(code);
  if (!c) return;
  switch (c->Action) {
    case CodeAction::Key:
      if (c->Undone) {
        SimulateKeystroke(c->Key, 0);
      } else {
        SimulateKeyDown(c->Key);
        SimulateKeyUp(c->Key);
      }
      PaceStep();
      break;
    case CodeAction::Char: SendKey(static_cast<unsigned char>(c->Char)); break;
    case CodeAction::Combo:
      if (const std::optional<Combination> combo = ParseCombination(code)) PressCombination(*combo);
      break;
    case CodeAction::Wait:
      if (const std::optional<int> ms = WaitMs(CodeArgument(code, *c))) Pause(*ms);
      break;
    case CodeAction::Clipboard: TypeClipboard(); break;
    case CodeAction::Input:
      // A copy: a run started from a pump point on the way sets the answers of its own.
      if (const auto answer = answers_.find(ParseInput(CodeArgument(code, *c)).Name);
          answer != answers_.end())
        TypeCharacters(std::string(answer->second), std::string::npos);
      break;
    case CodeAction::Cursor:
      if (!cursorMark_) cursorMark_ = CountedSoFar();  // a second one is ignored
      break;
    case CodeAction::Date: SendSpecial(clock_.ShortDate()); break;
    case CodeAction::Day: SendSpecial(clock_.LongDayName()); break;
    case CodeAction::Month: SendSpecial(clock_.MonthName()); break;
    case CodeAction::Time: SendSpecial(clock_.LongTime()); break;
    // The program's name and parameters are upper-cased with the code, as they always were.
    case CodeAction::Run: StartProgram(CodeArgument(UpperAscii(code), *c)); break;
    case CodeAction::List: SelectFromList(CodeArgument(code, *c) + ","); break;
  }
}

void Typist::SendSpecial(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) SendKey(NextCodePoint(text, i));
}

bool Typist::TypeCharacters(const std::string& text, std::size_t limit) {
  std::size_t typed = 0;
  for (std::size_t i = 0; i < text.size() && !stopped_;) {
    char32_t c = NextCodePoint(text, i);
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i < text.size() && text[i] == '\n') ++i;
      c = '\r';
    } else if ((c < 0x20 && c != '\t') || c == 0x7F) {
      continue;
    }
    if (typed++ == limit) return false;
    SendKey(c);
    Pump();
  }
  return true;
}

void Typist::TypeClipboard() {
  if (!ports_.clipboard) return;
  if (!TypeCharacters(ports_.clipboard->Text(), kMaxClipboardChars) && !clipboardCutTold_) {
    clipboardCutTold_ = true;
    Tell(kClipboardCut);
  }
}

void Typist::PressCombination(const Combination& combo) {
  std::uint8_t key = combo.Key;
  if (key == 0) {
    // The key of the character, whatever Shift or AltGr it needs: Ctrl+Shift+= is written
    // as such.
    if (combo.Char < 0x20 || combo.Char >= 0xD800) return;
    const std::int16_t r = layout_.CharToKey(run_.Layout, static_cast<char16_t>(combo.Char));
    if (r == -1) return;
    key = static_cast<std::uint8_t>(r & 0xFF);
  }
  for (const std::uint8_t m : combo.Modifiers) SimulateKeyDown(m);
  SimulateKeyDown(key);
  SimulateKeyUp(key);
  for (auto m = combo.Modifiers.rbegin(); m != combo.Modifiers.rend(); ++m) SimulateKeyUp(*m);
  PaceStep();
}

void Typist::Pause(int ms) {
  // The keys before the wait are in the target before it begins: a page that loads waits
  // for them, not for keys still on their way.
  FlushAndWaitUntilTaken();
  if (!ports_.pump) return;
  InputConditions* clock = ports_.conditions;
  const std::int64_t start = clock ? clock->NowMs() : 0;
  std::int64_t waited = 0;
  while (!stopped_) {
    // Each short wait lasts at least its time, and the clock tells when they overran.
    const std::int64_t done = std::max(waited, clock ? clock->NowMs() - start : 0);
    if (done >= ms) break;
    const int slice = static_cast<int>(std::min<std::int64_t>(ms - done, kPauseSliceMs));
    ports_.pump->Wait(slice);
    waited += slice;
  }
  // The user had time to bring another window to the front: the keys after the wait go
  // out only where the run's window still is, even when none went before it.
  firstFlush_ = false;
}

bool Typist::AskQuestions(WindowId w, const std::string& text,
                          std::map<std::string, std::string>& answers) {
  const std::vector<InputField> fields = InputFieldsOf(text);
  if (fields.empty()) return true;
  if (!ports_.question) return false;
  if (!foreground_.WindowExists(w)) return true;
  std::vector<InputQuestionField> asked;
  for (const InputField& f : fields) {
    const auto last = lastAnswers_.find(f.Name);
    asked.push_back({f.Name, last != lastAnswers_.end() ? last->second : f.Default});
  }
  // A run nested in another: what the other typed goes to its window before ours comes up.
  if (depth_ > 0) FlushAndWaitUntilTaken();
  const bool wasAsking = std::exchange(asking_, true);
  const std::optional<std::vector<std::string>> got = ports_.question->Ask(asked);
  asking_ = wasAsking;
  if (!got || got->size() != fields.size()) {
    // Nothing typed, and the user back where they were.
    if (depth_ > 0)
      BackToTarget();
    else
      foreground_.BringToForeground(w);
    return false;
  }
  for (std::size_t k = 0; k < fields.size(); ++k)
    answers[fields[k].Name] = lastAnswers_[fields[k].Name] = (*got)[k];
  return true;
}

std::int32_t Typist::CountedSoFar() const {
  std::int32_t n = KeystrokeCount;
  for (const PendingStroke& s : strokes_)
    if (!s.CaretMove) n += s.Units;
  return n;
}

void Typist::MoveCaret(std::uint8_t key) {
  SimulateKeyDown(key);
  SimulateKeyUp(key);
  if (counting_) strokes_.push_back(PendingStroke{pending_, 1, true});
  PaceStep();
}

void Typist::PlaceCaret() {
  if (!cursorMark_ || stopped_) return;
  const std::int32_t lefts = CountedSoFar() - *cursorMark_;
  for (std::int32_t k = 0; k < lefts && !stopped_; ++k) {
    MoveCaret(vk::Left);
    Pump();
  }
}

void Typist::StartProgram(const std::string& arg) {
  std::string program = arg;
  std::string params;
  if (const std::size_t comma = arg.find(','); comma != std::string::npos) {
    program = arg.substr(0, comma);
    params = Cut(arg, comma + 1);
  }
  // What was typed before the code belongs in front of whatever the program opens, and
  // must have reached the target before the program can take the foreground from it.
  FlushAndWaitUntilTaken();
  if (!ports_.starter || !ports_.starter->Start(program, params)) {
    if (ports_.messages) ports_.messages->Message("Unable to start " + program);
    BackToTarget();
  }
}

void Typist::SelectFromList(const std::string& arg) {
  std::vector<std::string> entries;
  std::string rest = arg;
  while (!rest.empty()) {
    const std::size_t comma = rest.find(',');
    if (comma == std::string::npos) {
      // Only a caller that did not end the list with "," gets here; without this
      // the same text would be split again and again for ever.
      entries.push_back(std::move(rest));
      break;
    }
    entries.push_back(rest.substr(0, comma));
    rest = Cut(rest, comma + 1);
  }
  FlushAndWaitUntilTaken();
  std::optional<std::string> pick =
      ports_.picker ? ports_.picker->Pick(entries) : std::optional<std::string>();
  if (pick && BackToTarget()) {
    SendSpecial(*pick);
    Flush();
  }
  if (!stopped_) BackToTarget();
}

}  // namespace ks
