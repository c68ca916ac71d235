#pragma once
// A warning for the user in a window of the desktop, with one "OK" button: zenity where it
// is installed, else kdialog. The program runs beside the host, which goes on meanwhile
// (the audio never waits for it, nor does the user-interface thread); it is reaped once it
// has ended (reapHandedOverPrograms) and ended when the plug-in is unloaded.
//
// Thread contract: any thread but the audio thread.

#include <string>
#include <string_view>
#include <vector>

namespace tavola {

// Shows `text`; false when no program could show it (standard error still has it).
bool showDesktopAlert(std::string_view title, std::string_view text);

// The arguments of each program for an alert (without the program's name).
std::vector<std::string> zenityAlertArguments(std::string_view title, std::string_view text);
std::vector<std::string> kdialogAlertArguments(std::string_view title, std::string_view text);

}  // namespace tavola
