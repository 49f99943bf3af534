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

// The file layer's text for an operation that failed on a file: `what "fileName". reason`, where the
// reason is the system's text for code (none for 0).
std::string FileErrorText(const std::string& what, const std::string& fileName, int code);

// The file layer's I/O error; ErrorCode is the operating system's error number (errno style).
class EInOutError : public Exception {
public:
  EInOutError(std::string message, int errorCode) : Exception(std::move(message)), FErrorCode(errorCode) {}
  int ErrorCode() const { return FErrorCode; }

private:
  int FErrorCode;
};

// A text that does not convert to the wanted type (StrToInt and kin, field conversions).
// An operation an object cannot do in its state (focus a hidden control, a bound past the other).
class EInvalidOperation : public Exception {
public:
  using Exception::Exception;
};

class EConvertError : public Exception {
public:
  using Exception::Exception;
};

// Errors of the record table: unknown field or index, wrong state, key violation, unreadable file.
class EDatabaseError : public Exception {
public:
  using Exception::Exception;
};

class EStreamError : public Exception {
public:
  using Exception::Exception;
};

// A file stream that cannot open or create its file; ErrorCode as for EInOutError.
class EFileStreamError : public EStreamError {
public:
  EFileStreamError(std::string message, int errorCode)
      : EStreamError(std::move(message)), FErrorCode(errorCode) {}
  int ErrorCode() const { return FErrorCode; }

private:
  int FErrorCode;
};

class EFOpenError : public EFileStreamError {
public:
  using EFileStreamError::EFileStreamError;
};

class EFCreateError : public EFileStreamError {
public:
  using EFileStreamError::EFileStreamError;
};

// ReadBuffer/WriteBuffer that moved fewer bytes than asked.
class EReadError : public EStreamError {
public:
  using EStreamError::EStreamError;
};

class EWriteError : public EStreamError {
public:
  using EStreamError::EStreamError;
};

// Index out of range, or an operation a sorted list forbids.
class EStringListError : public Exception {
public:
  using Exception::Exception;
};
