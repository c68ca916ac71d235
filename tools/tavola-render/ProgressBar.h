#pragma once
// A one-line progress bar for long renders, redrawn in place on a terminal. Nothing is
// drawn when the messages do not go to a terminal (a log file would fill with carriage
// returns) or when the render is short enough to be over before anyone looks.

#include <string>

namespace tavola::render {

class ProgressBar {
 public:
  // Renders of more than this many seconds of audio get a bar.
  static constexpr double kMinimumSeconds = 2.0;
  static bool wanted(bool terminal, long frames, double sampleRate) {
    return terminal && sampleRate > 0.0 &&
           static_cast<double>(frames) > kMinimumSeconds * sampleRate;
  }

  // Draws on fd when enabled; total is the count that update() runs up to.
  ProgressBar(int fd, bool enabled, long total, std::string label);
  // Erases the bar if it is still shown.
  ~ProgressBar();

  void update(long done);
  void finish();

  // The line drawn for a fraction, without the carriage return: "label [####----]  42%".
  static std::string line(const std::string& label, double fraction);

 private:
  void draw(const std::string& text) const;

  int fd_;
  bool enabled_;
  long total_;
  std::string label_;
  int shownPercent_ = -1;
};

}  // namespace tavola::render
