#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "input/user_messages.h"

namespace tovimar {

// A write to the result file failed after it was opened (a full disk). What was written
// before stays in the file.
class ResultWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr std::string_view FileCanNotOpenMessage = "File can not open!";

// The result file, opened by name for every writer call and closed again before the call
// returns; nothing stays open between calls.
class ResultFile {
 public:
  explicit ResultFile(std::string path) : path_(std::move(path)) {}

  // Creates the file afresh (truncating one that exists) and writes `text`. Returns false
  // after showing "File can not open!" when it cannot be created; throws ResultWriteError
  // when writing fails.
  bool Create(std::string_view text, UserMessages& messages) const;

  // Opens the existing file for appending and writes `text`; as Create otherwise. A file
  // that no longer exists is not created again.
  bool Append(std::string_view text, UserMessages& messages) const;

  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace tovimar
