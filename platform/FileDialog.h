#pragma once
// The file dialog the preset system asks for a preset or bank file to load or save. Behind
// this interface so that the editor object's file operations run the same with the real
// dialog (ExternalFileDialog) and with a scripted choice in the tests.
//
// A dialog is shown by start() and answered later: the host's user-interface thread must
// not stop while the user looks for a file (the host would freeze, and with it the
// editor), so the caller polls finished() from its idle and carries on when the answer is
// there. One dialog at a time.
//
// Thread contract: the host's UI thread.

#include <string>
#include <vector>

namespace tavola {

struct FileDialogRequest {
  enum class Kind { kOpen, kSave };
  Kind kind = Kind::kOpen;
  std::string title;              // "Load preset"
  std::string filterDescription;  // "ZEB Preset"
  std::string extension;          // "zeb", without the dot
  std::string initialDirectory;   // where the dialog starts; empty: the user's home
  std::string defaultName;        // save dialogs: the name offered; may be empty
};

class FileDialog {
 public:
  virtual ~FileDialog() = default;

  // Shows the dialog and returns at once. False while another one is open; a dialog
  // that cannot be shown still starts, and finishes at once with the reason in error().
  virtual bool start(const FileDialogRequest& request) = 0;
  // Never waits. True once the started dialog is over, with the paths the user chose in
  // `paths` (none when it was cancelled or could not be shown); the dialog is then free
  // for the next start. False while it is open or when none was started.
  virtual bool finished(std::vector<std::string>& paths) = 0;
  virtual bool isOpen() const = 0;
  // Closes an open dialog without an answer; finished() gives nothing for it.
  virtual void cancel() = 0;
  // Why the last dialog gave no path although the user did not cancel (it could not be
  // shown); empty otherwise.
  virtual const std::string& error() const { return noError_; }

  // Starts the dialog and waits for its answer: for programs that have nothing else to do.
  std::vector<std::string> choose(const FileDialogRequest& request);

 private:
  std::string noError_;
};

}  // namespace tavola
