#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tovimar {

// What kind of problem a user can cause. The caller decides from it how to show the
// message (a message box for an input message, an error box for a fault) and which exit
// status the batch tool returns.
enum class ErrorKind {
  Input,        // an entry that cannot be read, an empty Save File Name, a refused data file
  StepCount,    // a zone whose step count does not fit the profile
  File,         // a file that cannot be opened, read or written
  Arithmetic,   // division by zero, logarithm of a non-positive number, overflow
  Instability,  // an integration step longer than the method's stable limit
  Boiling,      // a solvent's vapour pressure above the atmosphere while it still evaporates
};

// Where in a run a problem arose; 0 where it is not known or does not apply.
struct ErrorPlace {
  std::int32_t zone = 0;
  std::int32_t step = 0;
};

// The one base of every error a user can cause: its kind, its full message (as shown to the
// user) and where it happened. Anything else that is thrown is an internal error.
class UserError : public std::runtime_error {
 public:
  UserError(ErrorKind kind, const std::string& message, ErrorPlace place = {})
      : std::runtime_error(message), kind_(kind), place_(place) {}

  [[nodiscard]] ErrorKind kind() const noexcept { return kind_; }
  [[nodiscard]] const ErrorPlace& place() const noexcept { return place_; }

 private:
  ErrorKind kind_;
  ErrorPlace place_;
};

// An arithmetic fault of the model (division by zero, logarithm of zero or of a negative
// number, 0/0, overflow). The message says what failed and, once marching, where.
class ArithmeticError : public UserError {
 public:
  explicit ArithmeticError(const std::string& message, ErrorPlace place = {})
      : UserError(ErrorKind::Arithmetic, message, place) {}
};

// An input the user must correct: an entry that cannot be read, an empty Save File Name, a
// text a data file cannot hold. `entryName` names the offending entry when there is one.
class InputError : public UserError {
 public:
  explicit InputError(const std::string& message, std::string entryName = {})
      : UserError(ErrorKind::Input, message), entryName_(std::move(entryName)) {}

  [[nodiscard]] const std::string& entryName() const noexcept { return entryName_; }

 private:
  std::string entryName_;
};

// A step count or zone that does not fit the profile.
class StepCountError : public UserError {
 public:
  explicit StepCountError(const std::string& message, ErrorPlace place = {})
      : UserError(ErrorKind::StepCount, message, place) {}
};

// An integration step longer than the stable limit of the explicit method at the state where
// it would start; the message names the largest Increment of z to use instead.
class InstabilityError : public UserError {
 public:
  InstabilityError(const std::string& message, ErrorPlace place, double stepTime, double limit)
      : UserError(ErrorKind::Instability, message, place), stepTime_(stepTime), limit_(limit) {}

  [[nodiscard]] double stepTime() const noexcept { return stepTime_; }  // s
  [[nodiscard]] double limit() const noexcept { return limit_; }        // s, at that state

 private:
  double stepTime_;
  double limit_;
};

// A solvent whose partial pressure at the coating surface exceeds the atmosphere while the
// coating still dries: the rate equations do not describe a boiling coating.
class BoilingError : public UserError {
 public:
  explicit BoilingError(const std::string& message, ErrorPlace place = {})
      : UserError(ErrorKind::Boiling, message, place) {}
};

}  // namespace tovimar
