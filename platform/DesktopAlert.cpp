#include "platform/DesktopAlert.h"

#include <list>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/ChildProcess.h"
#include "platform/ProgramOutput.h"

namespace tavola {
namespace {

std::mutex alertsMutex;

// The alerts still on screen. Ended when the library goes (a host unloading the plug-in).
std::list<ChildProcess>& openAlerts() {
  static std::list<ChildProcess> alerts;
  return alerts;
}

}  // namespace

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
  std::lock_guard lock(alertsMutex);
  std::list<ChildProcess>& alerts = openAlerts();
  alerts.remove_if([](ChildProcess& alert) { return alert.poll(); });
  alerts.emplace_back();
  if (!alerts.back().start(program, arguments)) {
    alerts.pop_back();
    return false;
  }
  return true;
}

}  // namespace tavola
