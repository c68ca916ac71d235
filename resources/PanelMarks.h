#pragma once
// What the panel art has put where: the ink box of every text, every scale tick and every
// section outline. The layout check renders the panel with a recorder attached and tests
// these against each other and against the controls' places, so that no label can touch a
// tick, a switch or another label unnoticed.

#include <string>
#include <vector>

namespace tavola::art {

struct Box {
  double left, top, right, bottom;
};

struct DrawnLabel {
  std::string text;
  Box ink;  // the glyphs' ink, in 1x panel coordinates
  double size;
  double red, green, blue;
};

struct DrawnTick {
  double x0, y0, x1, y1;
  double width;
};

struct DrawnMarks {
  std::vector<DrawnLabel> labels;
  std::vector<DrawnTick> ticks;
  std::vector<Box> outlines;  // section outlines, as the rectangle of the engraved line
};

// While one lives, the drawing helpers add what they draw to `marks`. One at a time.
class MarkRecorder {
 public:
  explicit MarkRecorder(DrawnMarks& marks);
  ~MarkRecorder();
  MarkRecorder(const MarkRecorder&) = delete;
  MarkRecorder& operator=(const MarkRecorder&) = delete;
};

// The recording in progress, or null.
DrawnMarks* recordedMarks();

}  // namespace tavola::art
