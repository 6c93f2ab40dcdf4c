// A recording IUserInterface for form and module tests: every message box,
// pointer change and beep is kept in order; the open-file dialog and the
// modal dialogs answer as the test arranged.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/user_interface.h"

namespace plumage::test {

struct ShownMessage {
  std::string text;
  std::string title;
  MessageIcon icon;
  bool waitCursorWasOn;  // the pointer at the moment the box appeared
};

class RecordingUi : public IUserInterface {
 public:
  void MessageBox(const std::string& text, const std::string& title, MessageIcon icon) override {
    messages.push_back({text, title, icon, waitCursor});
    events.push_back("message:" + text);
  }
  void SetWaitCursor(bool busy) override {
    waitCursor = busy;
    events.push_back(busy ? "wait:on" : "wait:off");
  }
  std::optional<std::string> OpenFile(const OpenFileOptions& options) override {
    openRequests.push_back(options);
    events.push_back("openfile");
    if (openAnswers.empty()) return std::nullopt;
    auto answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
  }
  void Beep() override {
    ++beeps;
    events.push_back("beep");
  }
  void DoEvents() override { ++doEvents; }
  void EndProgram() override {
    endRequested = true;
    events.push_back("end");
  }
  void ShowOptions() override { events.push_back("show:options"); }
  void ShowAbout() override { events.push_back("show:about"); }
  void ShowTransformIcon(ChangeIcon& picker) override {
    events.push_back("show:transform");
    if (onShowTransformIcon) onShowTransformIcon(picker);
  }

  std::vector<ShownMessage> messages;
  std::vector<std::string> events;
  std::vector<OpenFileOptions> openRequests;
  std::deque<std::optional<std::string>> openAnswers;
  bool waitCursor = false;
  bool endRequested = false;
  int beeps = 0;
  int doEvents = 0;
  std::function<void(ChangeIcon&)> onShowTransformIcon;
};

}  // namespace plumage::test
