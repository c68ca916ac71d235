#pragma once
// The file dialog of the desktop, shown by a helper program: zenity (GTK) where it is
// installed, else kdialog (KDE). The plug-in has no window toolkit of its own for this, and
// a separate program cannot disturb the host's event loop. The chosen path is what the
// program prints on its standard output.

#include <string>
#include <string_view>
#include <vector>

#include "platform/FileDialog.h"

namespace tavola {

class ExternalFileDialog : public FileDialog {
 public:
  // Looks for the programs in $PATH.
  ExternalFileDialog();
  // Looks for them in the folders of `searchPath` instead (as in $PATH).
  explicit ExternalFileDialog(std::string searchPath);

  std::vector<std::string> choose(const FileDialogRequest& request) override;
  const std::string& error() const override { return error_; }

 private:
  std::string searchPath_;
  std::string error_;
};

// The arguments each program gets for a request (without the program's name).
std::vector<std::string> zenityArguments(const FileDialogRequest& request);
std::vector<std::string> kdialogArguments(const FileDialogRequest& request);

// The paths in a program's output: one a line, empty lines ignored.
std::vector<std::string> chosenPaths(std::string_view output);

}  // namespace tavola
