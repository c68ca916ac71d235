#pragma once
// Running a helper program and taking what it prints: the program is started directly
// with posix_spawn and its arguments as they are (never through a shell, so no character
// of a title or path is interpreted), its standard input is /dev/null, and its standard
// output is read until it ends. Standard error stays the caller's.
//
// Thread contract: any thread but the audio thread; blocks until the program has ended.

#include <cstddef>
#include <string>
#include <vector>

namespace tavola {

struct ProgramRun {
  // False when the program could not be started; `error` says why.
  bool started = false;
  // The exit status, 128 + the signal number when a signal ended it, or -1 when it could
  // not be learnt (a host that lets its children be reaped behind its back).
  int exitStatus = -1;
  std::string output;
  std::string error;
};

// `program` is a path to the executable; `arguments` exclude the program name.
ProgramRun runForOutput(const std::string& program, const std::vector<std::string>& arguments);

// The first executable file called `name` in the folders of `searchPath` (as in $PATH);
// empty when there is none.
std::string findProgram(const std::string& name, const std::string& searchPath);

// The folders programs are looked for in: $PATH, or the usual ones when it is unset.
std::string environmentSearchPath();

}  // namespace tavola
