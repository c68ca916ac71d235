#pragma once
#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace tavola::test {

// A folder of stand-in helper programs (dialogs, xdg-open), to put first on PATH or hand
// to a search. Each writes its arguments, one a line, to NAME.args beside itself, prints
// `answer` and exits with `status`.
class StandInPrograms {
 public:
  // A held program waits, as a user looking for a file, until answer() is called.
  void add(const std::string& name, const std::string& answer, int status, bool held = false) {
    const std::filesystem::path program = folder_ / name;
    std::ofstream script(program);
    script << "#!/bin/sh\n"
           << "echo $$ > \"$0.pid\"\n"
           << "printf '%s\\n' \"$@\" > \"$0.args\"\n";
    if (held) script << "while [ ! -e \"$0.go\" ]; do sleep 0.02; done\n";
    script << "printf '" << answer << "'\n"
           << "exit " << status << "\n";
    script.close();
    ::chmod(program.c_str(), 0755);
  }
  std::vector<std::string> argumentsOf(const std::string& name) const {
    std::ifstream in(folder_ / (name + ".args"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  void answer(const std::string& name) const { std::ofstream(folder_ / (name + ".go")).close(); }
  // The program's process, once it has started.
  pid_t pidOf(const std::string& name) const {
    std::ifstream in(folder_ / (name + ".pid"));
    pid_t pid = 0;
    in >> pid;
    return pid;
  }
  bool ran(const std::string& name) const {
    return std::filesystem::exists(folder_ / (name + ".args"));
  }
  std::string path() const { return folder_.path().string(); }
  const std::filesystem::path& folder() const { return folder_.path(); }

 private:
  TempFolder folder_;
};

}  // namespace tavola::test
