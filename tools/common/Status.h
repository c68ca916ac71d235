#pragma once
// The outcome of one step of the renderer: success, or one line for the user together with
// who is to blame, which decides the exit code: the command line (2), the files, the
// plug-in or the system (1), or the user's interrupt (130).

#include <string>
#include <utility>

namespace tavola::render {

class Status {
 public:
  enum class Kind { kOk, kUsage, kRuntime, kInterrupted };

  Status() = default;
  static Status usage(std::string message) { return Status(Kind::kUsage, std::move(message)); }
  static Status runtime(std::string message) { return Status(Kind::kRuntime, std::move(message)); }
  static Status interrupted() { return Status(Kind::kInterrupted, "interrupted"); }

  bool ok() const { return kind_ == Kind::kOk; }
  Kind kind() const { return kind_; }
  const std::string& message() const { return message_; }
  int exitCode() const {
    switch (kind_) {
      case Kind::kOk:
        return 0;
      case Kind::kUsage:
        return 2;
      case Kind::kRuntime:
        return 1;
      case Kind::kInterrupted:
        return 130;
    }
    return 1;
  }

 private:
  Status(Kind kind, std::string message) : kind_(kind), message_(std::move(message)) {}

  Kind kind_ = Kind::kOk;
  std::string message_;
};

}  // namespace tavola::render
