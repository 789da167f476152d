#pragma once
// Typing as the running program makes it: the service and everything it needs of the
// system, made before the windows that type and told of the bar once the bar exists. The
// boxes of a run are the bar's, its news a balloon of the tray icon.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/tray.h"
#include "typing/dialogs_win.h"
#include "bar/ports.h"
#include "store/session.h"
#include "typing/foreground_win.h"
#include "typing/input_win.h"
#include "typing/list_win.h"
#include "typing/ports_win.h"
#include "typing/service.h"

namespace ks::app {

class TypingSetup : private UserMessages, private ListPicker, private InputQuestion {
 public:
  TypingSetup(Session& session, typing::ListPickerWindow& picker, TrayWindow& tray,
              AbbreviationWatcher& abbreviations);
  TypingSetup(const TypingSetup&) = delete;
  TypingSetup& operator=(const TypingSetup&) = delete;

  TypingService& Service() { return service_; }
  ForegroundHandOver& HandOver() { return handOver_; }

  // The bar exists: it owns the boxes and the question window and comes back on top after
  // a pick or an answer. Then the
  // foreground is followed until Stop.
  void Start(HWND bar);
  void Stop();

 private:
  // ---- UserMessages ----
  void Message(const std::string& text) override;
  void Notice(const std::string& text) override;
  // ---- ListPicker ----
  std::optional<std::string> Pick(const std::vector<std::string>& entries) override;
  // ---- InputQuestion ----
  std::optional<std::vector<std::string>> Ask(
      const std::vector<InputQuestionField>& fields) override;

  typing::ListPickerWindow& picker_;
  TrayWindow& tray_;
  HWND bar_ = nullptr;
  SendInputSink sink_;
  WinKeyboardLayout layout_;
  WinClock clock_;
  TypingPump pump_;
  ShellStarter starter_;
  WinClipboard clipboard_;
  typing::InputWindow question_;
  SystemWindowFacts facts_;
  WinInputConditions conditions_;
  ForegroundWatch watch_;
  TargetHandOver handOver_;
  TypingService service_;
  WinDialogs boxes_{bar_, service_};
};

}  // namespace ks::app
