#pragma once

#include <stdexcept>
#include <string>

// Base of the program's own error kinds: carries a message for the user.
class Exception : public std::exception {
public:
  explicit Exception(std::string message) : FMessage(std::move(message)) {}
  const char* what() const noexcept override { return FMessage.c_str(); }
  const std::string& Message() const { return FMessage; }
  void SetMessage(std::string message) { FMessage = std::move(message); }

private:
  std::string FMessage;
};
