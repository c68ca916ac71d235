#pragma once
// One environment variable set for as long as the object lives, and put back afterwards.

#include <cstdlib>
#include <optional>
#include <string>

namespace tavola::test {

class ScopedEnvironment {
 public:
  ScopedEnvironment(std::string name, const std::string& value) : name_(std::move(name)) {
    if (const char* previous = std::getenv(name_.c_str())) previous_ = previous;
    ::setenv(name_.c_str(), value.c_str(), 1);
  }
  ~ScopedEnvironment() {
    if (previous_)
      ::setenv(name_.c_str(), previous_->c_str(), 1);
    else
      ::unsetenv(name_.c_str());
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  // The variable's value before, or empty.
  std::string previous() const { return previous_.value_or(""); }

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

}  // namespace tavola::test
