#pragma once
// What an effect told its host through the callback: automated parameter values, edit
// gestures, display updates, and how often each request arrived. Tests read it to see
// that the effect reports what a DAW relies on.
//
// Thread contract: any thread. The effect may call back from its UI thread and from the
// thread that automates it while a test reads the log from a third; a mutex serialises
// them. The host callback is not a realtime path of this host, so the lock is acceptable.

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "host/VstInterface.h"

struct AutomationEvent {
  VstInt32 index;
  float value;
};

class HostCallLog {
 public:
  // Every callback request, whatever its opcode.
  void countRequest(VstInt32 opcode);
  // A request made from inside a processing call, on the audio thread.
  void countDuringProcessing(VstInt32 opcode);
  // A request made before the entry point returned.
  void recordDuringConstruction(VstInt32 opcode);
  void recordAutomate(VstInt32 index, float value);
  void recordBeginEdit(VstInt32 index);
  void recordEndEdit(VstInt32 index);

  // Copies, so that callers can inspect them while the effect keeps calling back.
  std::vector<AutomationEvent> automations() const;
  std::vector<VstInt32> beginEdits() const;
  std::vector<VstInt32> endEdits() const;
  // The edit gestures and automated values in the order they arrived, as
  // "begin 7; set 7=1; end 7".
  std::string gestureTrace() const;
  int updateDisplayCount() const { return requestCount(audioMasterUpdateDisplay); }
  int requestCount(VstInt32 opcode) const;
  // Requests of any kind that arrived while the effect processed a block.
  int requestsDuringProcessing() const;
  // The opcodes of the requests made while the entry point ran, in order.
  std::vector<VstInt32> requestsDuringConstruction() const;

  void clear();

 private:
  // Under the lock.
  void appendGesture(const std::string& text);

  mutable std::mutex mutex_;
  std::vector<AutomationEvent> automations_;
  std::vector<VstInt32> beginEdits_;
  std::vector<VstInt32> endEdits_;
  std::string gestureTrace_;
  std::map<VstInt32, int> requestCounts_;
  int requestsDuringProcessing_ = 0;
  std::vector<VstInt32> requestsDuringConstruction_;
};
