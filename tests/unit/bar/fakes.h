#pragma once
// Fakes of the bar's ports: scripted dialogs and editor, and a bar that keeps what its
// controls would show, so tests check the user's view rather than the calls made.
#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bar/groups.h"
#include "bar/ports.h"
#include "store/store.h"

namespace ks::test {

struct InputCall {
  std::string Caption, Prompt, Default;
  bool Preselect = false;
};

class FakeDialogs : public Dialogs {
 public:
  std::vector<std::string> Messages;
  std::vector<std::pair<std::string, std::string>> Confirms;  // text, title
  std::vector<InputCall> Inputs;
  std::deque<bool> ConfirmAnswers;
  std::deque<std::optional<std::string>> InputAnswers;

  void Message(const std::string& text) override { Messages.push_back(text); }
  bool Confirm(const std::string& text, const std::string& title) override {
    Confirms.emplace_back(text, title);
    if (ConfirmAnswers.empty()) {
      ADD_FAILURE() << "unexpected question: " << text;
      return false;
    }
    const bool yes = ConfirmAnswers.front();
    ConfirmAnswers.pop_front();
    return yes;
  }
  std::optional<std::string> Input(const std::string& caption, const std::string& prompt,
                                   const std::string& defaultText, bool preselect) override {
    Inputs.push_back(InputCall{caption, prompt, defaultText, preselect});
    if (InputAnswers.empty()) {
      ADD_FAILURE() << "unexpected input box: " << caption;
      return std::nullopt;
    }
    auto answer = InputAnswers.front();
    InputAnswers.pop_front();
    return answer;
  }
};

class FakeEditor : public Editor {
 public:
  struct Call {
    std::string Caption;
    EditorFields Shown;
  };
  std::vector<Call> Calls;
  bool Done = true;                     // closed with Done or not
  std::optional<EditorFields> Result;  // what the user left in the controls
  std::function<void()> WhileShown;    // what the user does while it is open

  bool ShowModal(const std::string& caption, EditorFields& fields) override {
    Calls.push_back(Call{caption, fields});
    if (WhileShown) WhileShown();
    if (!Done) return false;
    if (Result) fields = *Result;
    return true;
  }
};

class FakeBarView : public BarView, public GroupLines {
 public:
  struct Control {
    bool Visible = false;
    std::string Caption, Hint;
    int32_t Color = 0;
    int Width = 0;
  };
  std::array<Control, kMaxButtons + 1> Controls;
  int ButtonWidth = 100;
  int Displays = 0, TopCount = 0, DummyFocus = 0;
  int32_t Template = 0;
  std::vector<std::string> Menus;  // both submenus, rebuilt together
  int MenuRebuilds = 0;

  void HideButtons(int count) override {
    for (int i = 1; i <= count && i <= kMaxButtons; ++i) Controls[i].Visible = false;
  }
  void CreateButton(int i, const std::string& hint, const std::string& caption,
                    const std::string&, int32_t color) override {
    Controls[i] = Control{true, caption, hint, color, ButtonWidth};
  }
  void SetFace(int i, const std::string& caption, const std::string& hint,
               int32_t color) override {
    Controls[i].Caption = caption;
    Controls[i].Hint = hint;
    Controls[i].Color = color;
  }
  void SetButtonWidth(int width) override {
    ButtonWidth = width;
    for (auto& c : Controls) c.Width = width;
  }
  void Display() override { ++Displays; }
  void BringToTop() override { ++TopCount; }
  void FocusDummy() override { ++DummyFocus; }
  int32_t TemplateColor() const override { return Template; }

  int AddGroupName(const std::string& name) override { return Add(name); }
  void DeleteGroupItem(int position) override {
    ASSERT_TRUE(position >= 0 && position < static_cast<int>(Lines.size()));
    Delete(position);
  }
  void SelectGroupItem(int position) override { Select(position); }
  std::string SelectedGroupName() const override { return SelectedName(); }
  int SelectedGroupItem() const override { return Selected; }
  void RebuildGroupMenus(const std::vector<std::string>& groupNames) override {
    Menus = groupNames;
    ++MenuRebuilds;
  }

  // The captions of the visible controls, in control order.
  std::vector<std::string> VisibleCaptions() const {
    std::vector<std::string> out;
    for (int i = 1; i <= kMaxButtons; ++i)
      if (Controls[i].Visible) out.push_back(Controls[i].Caption);
    return out;
  }
  // Shows the active group of `store` as the bar does at start.
  void ShowActive(const Store& store) { FillButtons(store.Active(), *this); }
};

// A store of groups named as given, each with `buttons` buttons captioned
// <group name><i>, text "text <name><i>", hint "hint <name><i>", colour i, shortcut i.
inline std::unique_ptr<Store> MakeStore(const std::vector<std::string>& names, int buttons) {
  auto s = std::make_unique<Store>();
  s->ActiveGroup = 1;
  for (const std::string& n : names) {
    Group& g = s->Groups.emplace_back(Group{n, 1, "", {}});
    for (int i = 1; i <= buttons; ++i) {
      const std::string id = n + std::to_string(i);
      g.Buttons.push_back(Button{id, "hint " + id, "text " + id, i, i});
    }
  }
  return s;
}

inline std::vector<std::string> Captions(const Store& s, int group) {
  std::vector<std::string> out;
  for (const Button& b : s.GroupAt(group).Buttons) out.push_back(b.Caption);
  return out;
}

}  // namespace ks::test
