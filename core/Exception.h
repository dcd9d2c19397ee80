#pragma once
// The general exception of the program: a message (code page 932 bytes) and a help
// context. Every failure the program reports to the user is one of these.
#include <exception>
#include <string>
#include <utility>

namespace velquin {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message, int helpContext = 0)
      : message_(std::move(message)), helpContext_(helpContext) {}
  ~Exception() override = default;

  const std::string& Message() const { return message_; }
  void SetMessage(std::string message) { message_ = std::move(message); }
  int HelpContext() const { return helpContext_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
  int helpContext_;
};

}  // namespace velquin
