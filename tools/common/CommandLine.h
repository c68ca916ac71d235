#pragma once
// The options of a command-line tool, read with getopt_long and reported in the tools'
// own words: "--block needs a value", "unknown option --bogus (see --help)".

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "tools/common/Status.h"

namespace tavola::render {

struct CommandOption {
  enum class Value { kNone, kRequired, kOptional };

  const char* name;
  char shortName = 0;
  Value value = Value::kNone;
  // Hears the value ("" for an option without one, nullptr-free); an error stops parsing.
  std::function<Status(const std::string& value, bool given)> take;
  // --help: once seen, the rest of the command line is not looked at.
  bool endsParsing = false;
};

// An option that stores its value; an empty value is refused.
CommandOption textOption(const char* name, std::string& into);
// An option without a value that sets a switch.
CommandOption switchOption(const char* name, bool& into, char shortName = 0);

// arguments excludes the program name. The words that are not options, in their order.
Status parseCommandLine(const std::vector<std::string>& arguments,
                        std::span<const CommandOption> options, std::vector<std::string>& files);

}  // namespace tavola::render
