#pragma once
// What a host needs of the edit gestures it is told of, checked over a trace of them
// ("begin 7; set 7=1; end 7"): every automated value lies inside a gesture of its own
// parameter, a parameter has at most one gesture open, no gesture ends that did not
// begin, every gesture is of a parameter that exists, and every gesture ends.

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace tavola::test {

// The faults of a trace, in words; none for a good one. `complete`: the trace is all the
// host will hear, so a gesture still open is a fault too.
inline std::vector<std::string> gestureFaults(const std::string& trace, int parameters = 44,
                                              bool complete = true) {
  std::vector<std::string> faults;
  std::map<int, bool> open;
  std::istringstream items(trace);
  for (std::string item; std::getline(items, item, ';');) {
    std::istringstream words(item);
    std::string verb;
    int index = -1;
    words >> verb >> index;
    if (verb.empty()) continue;
    const std::string where = " (" + item + ")";
    if (index < 0 || index >= parameters) faults.push_back("no such parameter" + where);
    if (verb == "begin") {
      if (open[index]) faults.push_back("a second begin" + where);
      open[index] = true;
    } else if (verb == "end") {
      if (!open[index]) faults.push_back("an end without a begin" + where);
      open[index] = false;
    } else if (verb == "set") {
      if (!open[index]) faults.push_back("a value outside a gesture" + where);
    }
  }
  if (complete)
    for (const auto& [index, isOpen] : open)
      if (isOpen) faults.push_back("gesture " + std::to_string(index) + " never ended");
  return faults;
}

}  // namespace tavola::test
