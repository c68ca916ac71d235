#pragma once
// The file dialog of the desktop, shown by a helper program: zenity (GTK) where it is
// installed, else kdialog (KDE). The plug-in has no window toolkit of its own for this, and
// a separate program cannot disturb the host's event loop: it runs beside the host while
// the host goes on, and the chosen path is what it prints on its standard output.

#include <string>
#include <string_view>
#include <vector>

#include "platform/ChildProcess.h"
#include "platform/FileDialog.h"

namespace tavola {

class ExternalFileDialog : public FileDialog {
 public:
  // Looks for the programs in $PATH.
  ExternalFileDialog();
  // Looks for them in the folders of `searchPath` instead (as in $PATH).
  explicit ExternalFileDialog(std::string searchPath);
  // An open dialog is closed.
  ~ExternalFileDialog() override = default;

  bool start(const FileDialogRequest& request) override;
  bool finished(std::vector<std::string>& paths) override;
  bool isOpen() const override { return started_; }
  void cancel() override;
  const std::string& error() const override { return error_; }

 private:
  std::string searchPath_;
  std::string program_;
  std::string error_;
  ChildProcess child_;
  bool started_ = false;
};

// The arguments each program gets for a request (without the program's name).
std::vector<std::string> zenityArguments(const FileDialogRequest& request);
std::vector<std::string> kdialogArguments(const FileDialogRequest& request);

// The paths in a program's output: one a line, empty lines ignored.
std::vector<std::string> chosenPaths(std::string_view output);

// What a user without either program is told.
inline constexpr const char* kNoDialogProgram =
    "cannot show a file dialog: neither zenity nor kdialog is installed (install the "
    "\"zenity\" or the \"kdialog\" package)";

}  // namespace tavola
