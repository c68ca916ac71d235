#pragma once
// Where the renderer's own messages go, and how the plug-in is kept quiet.
//
// The plug-in writes one diagnostic line per parameter change straight to file
// descriptor 2; a render sets dozens of parameters and probing the parameter steps sets
// thousands. So the renderer takes a duplicate of the original standard error before it
// loads the plug-in, writes everything of its own there, and, unless the user asked to
// see the plug-in's lines, points descriptor 2 at /dev/null while it calls into the
// plug-in.
//
// Single-threaded: the renderer calls the plug-in from one thread only.

#include <string>
#include <string_view>

namespace tavola::render {

class Console {
 public:
  // pluginMayWrite = true lets the plug-in's lines through (--verbose). Messages start
  // with the program's name.
  explicit Console(bool pluginMayWrite, std::string programName = "tavola-render");
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // The descriptor the renderer's messages and the progress bar go to.
  int messageFd() const { return messageFd_; }
  bool messagesToTerminal() const;

  // Writes the text and a newline with one system call.
  void line(std::string_view text) const;
  // The program's name, ": " and the text.
  void error(std::string_view text) const;
  // The program's name, ": warning: " and the text.
  void warning(std::string_view text) const;

  // While one of these lives, the plug-in's writes to descriptor 2 go to /dev/null, unless
  // the plug-in may write. They nest.
  class PluginCalls {
   public:
    // evenWhenVerbose: for the renderer's own probing of the plug-in (thousands of
    // parameter changes that are not part of the render), which --verbose does not show.
    PluginCalls(const Console& console, bool evenWhenVerbose);
    ~PluginCalls();
    PluginCalls(const PluginCalls&) = delete;
    PluginCalls& operator=(const PluginCalls&) = delete;

   private:
    const Console& console_;
    bool redirected_ = false;
  };
  PluginCalls pluginCalls() const { return PluginCalls(*this, false); }
  PluginCalls probeCalls() const { return PluginCalls(*this, true); }

 private:
  // True when this call redirected descriptor 2 (it was not silenced already).
  bool silence(bool evenWhenVerbose) const;
  void restore() const;

  const bool pluginMayWrite_;
  const std::string programName_;
  int messageFd_ = -1;
  mutable int nullFd_ = -1;
  mutable int probePipe_ = -1;
  mutable bool silenced_ = false;
};

}  // namespace tavola::render
