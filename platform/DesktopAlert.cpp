#include "platform/DesktopAlert.h"

#include <vector>

#include "platform/ChildProcess.h"
#include "platform/ProgramOutput.h"

namespace tavola {

std::vector<std::string> zenityAlertArguments(std::string_view title, std::string_view text) {
  // --no-markup: the text is shown as it is, whatever it holds.
  return {"--warning", "--no-markup", "--title=" + std::string(title),
          "--text=" + std::string(text), "--ok-label=OK"};
}

std::vector<std::string> kdialogAlertArguments(std::string_view title, std::string_view text) {
  return {"--title", std::string(title), "--sorry", std::string(text)};
}

bool showDesktopAlert(std::string_view title, std::string_view text) {
  const std::string path = environmentSearchPath();
  std::string program = findProgram("zenity", path);
  std::vector<std::string> arguments;
  if (!program.empty()) {
    arguments = zenityAlertArguments(title, text);
  } else {
    program = findProgram("kdialog", path);
    if (program.empty()) return false;
    arguments = kdialogAlertArguments(title, text);
  }
  ChildProcess alert;
  if (!alert.start(program, arguments)) return false;
  // It stays on screen until the user answers; it is reaped then.
  alert.leaveRunning();
  reapHandedOverPrograms();
  return true;
}

}  // namespace tavola
