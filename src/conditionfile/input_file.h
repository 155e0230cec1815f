#pragma once

// Every file the program reads (data file, line file, measurements, design) is read through
// here, so that each is read the same way: only a regular file or a pipe is opened (a
// directory or a device such as /dev/zero is refused, a named pipe that nobody writes to
// never blocks), and neither a line nor a whole file is taken in beyond a bound, so that
// the memory a reader takes stays bounded whatever the file holds. The same readers work
// on text in memory.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "format/file_writer.h"

namespace tovimar {

// A longer line (its LF not counted) is refused by LineReader.
inline constexpr std::size_t MaxInputLineLength = std::size_t{16} << 20;

// The bytes of an input, in order.
class InputSource {
 public:
  InputSource() = default;
  InputSource(const InputSource&) = delete;
  InputSource& operator=(const InputSource&) = delete;
  virtual ~InputSource() = default;

  // Up to `size` bytes into `buffer`; 0 only at the end of the input. Throws FileError
  // when the input cannot be read.
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

// Text in memory as an input; the text must outlive it.
class TextSource final : public InputSource {
 public:
  explicit TextSource(std::string_view text) : text_(text) {}
  std::size_t Read(char* buffer, std::size_t size) override;

 private:
  std::string_view text_;
};

// "<What> can not open! ("PATH": REASON)", with the first letter of `what` capitalised
// ("line file": "Line file can not open! ...").
std::string CanNotOpenMessage(std::string_view what, const std::string& path,
                              const std::string& reason);

// A file opened for reading: a regular file or a pipe (a named pipe, or one the shell made
// for a process substitution). Anything else is refused when it is opened; a named pipe
// with no writer ends at once, and as it gives no byte it is refused then. Throws FileError
// (CannotOpen) with the message of CanNotOpenMessage(what, path, reason).
class FileSource final : public InputSource {
 public:
  FileSource(const std::string& path, std::string_view what);
  // Standard input, whatever it is; it is not closed.
  explicit FileSource(std::string_view what);
  ~FileSource() override;
  std::size_t Read(char* buffer, std::size_t size) override;

 private:
  std::string path_;
  std::string what_;
  int fd_ = -1;
  bool owned_ = false;
  bool namedPipe_ = false;  // opened by name as a pipe: one that ends before a byte is refused
  bool anyByte_ = false;
};

// The lines of an input, one at a time. A line ends at LF; the LF is not part of it, a CR
// before it is (the caller decides what a CR means). The last line need not end with LF.
class LineReader {
 public:
  // `name` names the input in messages.
  LineReader(InputSource& source, std::string name, std::size_t maxLength = MaxInputLineLength);

  // The next line into `line`; false at the end of the input. Throws FileError (BadContent,
  // "NAME: line N is longer than 16 MiB") for a line longer than the bound, without reading
  // more of it than the bound, and as the source when it cannot be read.
  bool Next(std::string& line);

  // The number of the line last returned (1-based); 0 before the first.
  [[nodiscard]] std::size_t LineNumber() const { return lineNumber_; }
  [[nodiscard]] const std::string& Name() const { return name_; }
  [[nodiscard]] std::size_t MaxLength() const { return maxLength_; }

 private:
  bool Fill();

  InputSource& source_;
  std::string name_;
  std::size_t maxLength_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool ended_ = false;
  std::size_t lineNumber_ = 0;
};

// The whole input when it holds at most `maxBytes` bytes; nothing, without reading further,
// when it holds more. Throws as the source when it cannot be read.
std::optional<std::string> ReadWholeInput(InputSource& source, std::size_t maxBytes);

// "16 MiB" for 16 << 20: the bounds in messages.
std::string SizeText(std::size_t bytes);

// `text` without a leading UTF-8 byte-order mark.
std::string_view WithoutByteOrderMark(std::string_view text);

}  // namespace tovimar
