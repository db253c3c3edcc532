#pragma once

#include <string>
#include <utility>

// What an operation that can fail gives back: that it worked, or a sentence
// saying why it did not, for the caller to put before a person. Returned by
// value and never kept in a static buffer; success is the empty string, so
// it costs no allocation, and `return {};` says it.
struct Result {
  std::string error;  // empty when it worked
  explicit operator bool() const { return error.empty(); }
};

// A failure and its reason. An empty reason would read as success, so it
// never is one.
inline Result Fail(std::string why) {
  if (why.empty()) why = "failed, for no reason given";
  return {std::move(why)};
}
