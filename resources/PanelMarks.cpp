#include "PanelMarks.h"

namespace tavola::art {
namespace {

DrawnMarks* current = nullptr;

}  // namespace

MarkRecorder::MarkRecorder(DrawnMarks& marks) {
  current = &marks;
}

MarkRecorder::~MarkRecorder() {
  current = nullptr;
}

DrawnMarks* recordedMarks() {
  return current;
}

}  // namespace tavola::art
