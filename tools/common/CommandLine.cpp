#include "tools/common/CommandLine.h"

#include <getopt.h>

namespace tavola::render {

CommandOption textOption(const char* name, std::string& into) {
  return {name, 0, CommandOption::Value::kRequired, [name, &into](const std::string& value, bool) {
            if (value.empty()) return Status::usage(std::string("--") + name + " needs a value");
            into = value;
            return Status();
          }};
}

CommandOption switchOption(const char* name, bool& into, char shortName) {
  return {name, shortName, CommandOption::Value::kNone, [&into](const std::string&, bool) {
            into = true;
            return Status();
          }};
}

Status parseCommandLine(const std::vector<std::string>& arguments,
                        std::span<const CommandOption> options, std::vector<std::string>& files) {
  // getopt reports each option by its index in this table, offset past the characters.
  constexpr int kFirst = 256;
  std::vector<option> table;
  std::string shortNames = ":";
  for (std::size_t i = 0; i < options.size(); ++i) {
    const int hasArg = options[i].value == CommandOption::Value::kNone       ? no_argument
                       : options[i].value == CommandOption::Value::kRequired ? required_argument
                                                                             : optional_argument;
    table.push_back({options[i].name, hasArg, nullptr, kFirst + static_cast<int>(i)});
    if (options[i].shortName) shortNames += options[i].shortName;
  }
  table.push_back({nullptr, 0, nullptr, 0});
  auto find = [&](int choice) -> const CommandOption* {
    for (const CommandOption& o : options)
      if (choice == (o.shortName ? o.shortName : -1)) return &o;
    const std::size_t index = static_cast<std::size_t>(choice - kFirst);
    return choice >= kFirst && index < options.size() ? &options[index] : nullptr;
  };
  auto spelled = [](const CommandOption& o) { return std::string("--") + o.name; };

  std::vector<std::string> words = {"tool"};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  // Errors are ours to word: getopt stays quiet and starts afresh on every call.
  opterr = 0;
  optind = 0;
  for (;;) {
    const int choice = getopt_long(static_cast<int>(words.size()), argv.data(), shortNames.c_str(),
                                   table.data(), nullptr);
    if (choice == -1) break;
    if (choice == ':' || choice == '?') {
      if (const CommandOption* o = find(optopt))
        return Status::usage(spelled(*o) +
                             (choice == ':' || o->value == CommandOption::Value::kRequired
                                  ? " needs a value"
                                  : " takes no value"));
      std::string word = optopt != 0 ? std::string("-") + static_cast<char>(optopt)
                                     : std::string(argv[static_cast<std::size_t>(optind - 1)]);
      word.erase(std::min(word.find('='), word.size()));
      return Status::usage("unknown option " + word + " (see --help)");
    }
    const CommandOption& o = *find(choice);
    if (Status status = o.take(optarg ? optarg : "", optarg != nullptr); !status.ok())
      return status;
    if (o.endsParsing) return Status();
  }
  // getopt has moved the files behind the options.
  files.assign(argv.begin() + optind, argv.end() - 1);
  return Status();
}

}  // namespace tavola::render
