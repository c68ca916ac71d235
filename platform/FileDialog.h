#pragma once
// The file dialog the preset system asks for a preset or bank file to load or save. Behind
// this interface so that the editor object's file operations run the same with the real
// dialog (ExternalFileDialog) and with a scripted choice in the tests.
//
// Thread contract: the host's UI thread; choose blocks until the user has answered.

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
  // The paths the user chose: none when the dialog was cancelled or could not be shown.
  virtual std::vector<std::string> choose(const FileDialogRequest& request) = 0;
  // Why the last choose gave no path although the user did not cancel (the dialog could
  // not be shown); empty otherwise.
  virtual const std::string& error() const { return noError_; }

 private:
  std::string noError_;
};

}  // namespace tavola
