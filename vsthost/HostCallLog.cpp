#include "vsthost/HostCallLog.h"

#include <cstdio>

void HostCallLog::countRequest(VstInt32 opcode) {
  std::lock_guard lock(mutex_);
  ++requestCounts_[opcode];
}

void HostCallLog::countDuringProcessing(VstInt32 /*opcode*/) {
  std::lock_guard lock(mutex_);
  ++requestsDuringProcessing_;
}

void HostCallLog::recordDuringConstruction(VstInt32 opcode) {
  std::lock_guard lock(mutex_);
  requestsDuringConstruction_.push_back(opcode);
}

std::vector<VstInt32> HostCallLog::requestsDuringConstruction() const {
  std::lock_guard lock(mutex_);
  return requestsDuringConstruction_;
}

int HostCallLog::requestsDuringProcessing() const {
  std::lock_guard lock(mutex_);
  return requestsDuringProcessing_;
}

void HostCallLog::recordAutomate(VstInt32 index, float value) {
  std::lock_guard lock(mutex_);
  automations_.push_back({index, value});
  char text[64];
  std::snprintf(text, sizeof text, "set %d=%g", index, static_cast<double>(value));
  appendGesture(text);
}

void HostCallLog::recordBeginEdit(VstInt32 index) {
  std::lock_guard lock(mutex_);
  beginEdits_.push_back(index);
  appendGesture("begin " + std::to_string(index));
}

void HostCallLog::recordEndEdit(VstInt32 index) {
  std::lock_guard lock(mutex_);
  endEdits_.push_back(index);
  appendGesture("end " + std::to_string(index));
}

std::vector<AutomationEvent> HostCallLog::automations() const {
  std::lock_guard lock(mutex_);
  return automations_;
}

std::vector<VstInt32> HostCallLog::beginEdits() const {
  std::lock_guard lock(mutex_);
  return beginEdits_;
}

std::vector<VstInt32> HostCallLog::endEdits() const {
  std::lock_guard lock(mutex_);
  return endEdits_;
}

int HostCallLog::requestCount(VstInt32 opcode) const {
  std::lock_guard lock(mutex_);
  const auto found = requestCounts_.find(opcode);
  return found == requestCounts_.end() ? 0 : found->second;
}

void HostCallLog::clear() {
  std::lock_guard lock(mutex_);
  automations_.clear();
  beginEdits_.clear();
  endEdits_.clear();
  gestureTrace_.clear();
  requestCounts_.clear();
  requestsDuringProcessing_ = 0;
  requestsDuringConstruction_.clear();
}

void HostCallLog::appendGesture(const std::string& text) {
  if (!gestureTrace_.empty()) gestureTrace_ += "; ";
  gestureTrace_ += text;
}

std::string HostCallLog::gestureTrace() const {
  std::lock_guard lock(mutex_);
  return gestureTrace_;
}
