#include "tools/tavola-preset/ToolOptions.h"

#include "tools/common/CommandLine.h"

namespace tavola::presettool {
namespace {

using render::Status;

constexpr const char* kUsage =
    "usage: tavola-preset [--plugin PATH] FILE...\n"
    "       tavola-preset --write-chunk FILE [--preset N|NAME] [--force] [--plugin PATH]\n"
    "\n"
    "Prints what Tavola preset files (.zeb), bank files (.zbb) and host state chunks hold:\n"
    "the kind, the byte order, the format version, the current preset of a bank or chunk,\n"
    "and every preset's name and stored values with the parameter's name and the text the\n"
    "plug-in shows for the value. Files are read with the plug-in's own format code; a file\n"
    "the plug-in would refuse is refused here with the plug-in's reason. A chunk file holds\n"
    "the raw bytes of a host chunk (format word 0x02000000 or 0x01000000, then the plug-in's\n"
    "unique identifier).\n"
    "\n"
    "  --write-chunk FILE  write the plug-in's state chunk to FILE instead: a new instance\n"
    "                      with a factory preset set up as tavola-render sets it up\n"
    "  --preset N|NAME     that factory preset, by number (0-6) or name (default: 0)\n"
    "  -f, --force         replace FILE if it exists\n"
    "  --plugin PATH       the plug-in to ask (default: the Tavola.so of this build)\n"
    "  -h, --help          show this text\n"
    "\n"
    "Exit status: 0 every file was read, 1 a file was refused or could not be read (the\n"
    "reason is on standard error), 2 a bad command line.\n";

}  // namespace

const char* toolUsageText() {
  return kUsage;
}

Status parseToolOptions(const std::vector<std::string>& arguments, ToolOptions& options) {
  options = ToolOptions();
  const render::CommandOption table[] = {
      render::textOption("write-chunk", options.writeChunk),
      render::textOption("preset", options.preset),
      render::textOption("plugin", options.plugin),
      render::switchOption("force", options.force, 'f'),
      {"help", 'h', render::CommandOption::Value::kNone,
       [&](const std::string&, bool) {
         options.help = true;
         return Status();
       },
       true},
  };
  if (Status status = render::parseCommandLine(arguments, table, options.files); !status.ok())
    return status;
  if (options.help) return Status();

  if (!options.writeChunk.empty()) {
    if (!options.files.empty())
      return Status::usage(
          "--write-chunk writes one file and prints none (extra: " + options.files.front() + ")");
    return Status();
  }
  if (!options.preset.empty()) return Status::usage("--preset chooses the preset of --write-chunk");
  if (options.force) return Status::usage("--force is for --write-chunk");
  if (options.files.empty()) return Status::usage("no file given (see --help)");
  return Status();
}

}  // namespace tavola::presettool
