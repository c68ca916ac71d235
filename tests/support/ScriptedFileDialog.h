#pragma once
// A file dialog that answers from a script and records what it was asked, for the tests
// of the preset system's files; it can stay open, as a user still looking for a file.

#include <deque>
#include <string>
#include <vector>

#include "platform/FileDialog.h"

namespace tavola::test {

// What the scripted dialogs answer, in order, and every request they were given.
struct DialogScript {
  std::deque<std::vector<std::string>> answers;
  std::vector<FileDialogRequest> requests;
  // Given with no path when set, as a dialog that could not be shown.
  std::string error;
  // While set, a started dialog stays open (the user is still looking).
  bool holdOpen = false;
  int cancelled = 0;
};

class ScriptedDialog : public FileDialog {
 public:
  explicit ScriptedDialog(DialogScript& script) : script_(script) {}
  bool start(const FileDialogRequest& request) override {
    if (open_) return false;
    script_.requests.push_back(request);
    open_ = true;
    return true;
  }
  bool finished(std::vector<std::string>& paths) override {
    paths.clear();
    if (!open_ || script_.holdOpen) return false;
    open_ = false;
    if (!script_.error.empty() || script_.answers.empty()) return true;
    paths = script_.answers.front();
    script_.answers.pop_front();
    return true;
  }
  bool isOpen() const override { return open_; }
  void cancel() override {
    if (open_) ++script_.cancelled;
    open_ = false;
  }
  const std::string& error() const override { return script_.error; }

 private:
  DialogScript& script_;
  bool open_ = false;
};

}  // namespace tavola::test
