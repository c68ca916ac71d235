#include "tools/tavola-render/ProgressBar.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace tavola::render {
namespace {

constexpr int kBarWidth = 40;

}  // namespace

ProgressBar::ProgressBar(int fd, bool enabled, long total, std::string label)
    : fd_(fd), enabled_(enabled && total > 0), total_(total), label_(std::move(label)) {}

ProgressBar::~ProgressBar() {
  finish();
}

std::string ProgressBar::line(const std::string& label, double fraction) {
  fraction = std::clamp(fraction, 0.0, 1.0);
  const int filled = static_cast<int>(fraction * kBarWidth + 1e-9);
  char percent[8];
  std::snprintf(percent, sizeof percent, "%4d%%", static_cast<int>(fraction * 100.0 + 1e-9));
  return label + " [" + std::string(static_cast<std::size_t>(filled), '#') +
         std::string(static_cast<std::size_t>(kBarWidth - filled), '-') + "]" + percent;
}

void ProgressBar::update(long done) {
  if (!enabled_) return;
  const double fraction = static_cast<double>(done) / static_cast<double>(total_);
  const int percent = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 100.0 + 1e-9);
  if (percent == shownPercent_) return;
  shownPercent_ = percent;
  draw("\r" + line(label_, fraction));
}

void ProgressBar::finish() {
  if (!enabled_ || shownPercent_ < 0) return;
  // Carriage return and erase to the end of the line: the terminal is left as it was.
  draw("\r\033[K");
  shownPercent_ = -1;
}

void ProgressBar::draw(const std::string& text) const {
  // A lost redraw costs nothing; the next one draws the whole line again.
  [[maybe_unused]] const ssize_t written = ::write(fd_, text.data(), text.size());
}

}  // namespace tavola::render
