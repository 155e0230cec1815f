#include "conditionfile/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace tovimar {

namespace {

constexpr std::size_t ChunkSize = 64 * 1024;

std::string ErrorText(int error) { return std::generic_category().message(error); }

// Why a file of this type cannot be read as an input; empty for a regular file or a pipe.
std::string RefusedTypeReason(mode_t mode) {
  if (S_ISREG(mode) || S_ISFIFO(mode)) return {};
  if (S_ISDIR(mode)) return ErrorText(EISDIR);
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device, not a file";
  if (S_ISSOCK(mode)) return "a socket, not a file";
  return "not a regular file";
}

}  // namespace

std::size_t TextSource::Read(char* buffer, std::size_t size) {
  const std::size_t n = std::min(size, text_.size());
  if (n == 0) return 0;  // an empty text may have no data at all: nothing to copy
  std::memcpy(buffer, text_.data(), n);
  text_.remove_prefix(n);
  return n;
}

std::string CanNotOpenMessage(std::string_view what, const std::string& path,
                              const std::string& reason) {
  std::string message(what);
  if (!message.empty()) {
    message[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(message[0])));
  }
  message += " can not open! (\"" + path + "\"";
  if (!reason.empty()) message += ": " + reason;
  return message + ")";
}

// O_NONBLOCK keeps the open of a named pipe that nobody writes to from waiting for ever; it
// is cleared again afterwards, so reads wait for a writer that is there and see the end of
// the input at once when there is none.
FileSource::FileSource(const std::string& path, std::string_view what)
    : path_(path), what_(what), owned_(true) {
  const auto refuse = [&](const std::string& reason) {
    throw FileError(FileError::Failure::CannotOpen, CanNotOpenMessage(what_, path_, reason), path_,
                    reason);
  };
  do {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  } while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) refuse(ErrorText(errno));
  struct stat info {};
  std::string reason;
  if (::fstat(fd_, &info) != 0) {
    reason = ErrorText(errno);
  } else {
    reason = RefusedTypeReason(info.st_mode);
  }
  const int status = reason.empty() ? ::fcntl(fd_, F_GETFL) : 0;
  if (reason.empty() && (status < 0 || ::fcntl(fd_, F_SETFL, status & ~O_NONBLOCK) < 0)) {
    reason = ErrorText(errno);
  }
  if (!reason.empty()) {
    ::close(fd_);
    fd_ = -1;
    refuse(reason);
  }
  namedPipe_ = S_ISFIFO(info.st_mode);
}

FileSource::FileSource(std::string_view what) : path_("standard input"), what_(what), fd_(STDIN_FILENO) {}

FileSource::~FileSource() {
  if (owned_ && fd_ >= 0) ::close(fd_);
}

std::size_t FileSource::Read(char* buffer, std::size_t size) {
  ssize_t n = 0;
  do {
    n = ::read(fd_, buffer, size);
  } while (n < 0 && errno == EINTR);
  if (n < 0) {
    const std::string reason = ErrorText(errno);
    throw FileError(FileError::Failure::CannotOpen, CanNotOpenMessage(what_, path_, reason), path_,
                    reason);
  }
  if (n == 0 && namedPipe_ && !anyByte_) {
    const std::string reason = "the pipe has no writer";
    throw FileError(FileError::Failure::CannotOpen, CanNotOpenMessage(what_, path_, reason), path_,
                    reason);
  }
  anyByte_ = anyByte_ || n > 0;
  return static_cast<std::size_t>(n);
}

LineReader::LineReader(InputSource& source, std::string name, std::size_t maxLength)
    : source_(source), name_(std::move(name)), maxLength_(maxLength), buffer_(ChunkSize) {}

bool LineReader::Fill() {
  if (ended_) return false;
  begin_ = 0;
  end_ = source_.Read(buffer_.data(), buffer_.size());
  ended_ = end_ == 0;
  return !ended_;
}

bool LineReader::Next(std::string& line) {
  line.clear();
  bool any = false;
  for (;;) {
    if (begin_ == end_ && !Fill()) {
      if (!any) return false;
      break;  // the last line, without LF
    }
    any = true;
    const char* start = buffer_.data() + begin_;
    const auto* lf = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
    const std::size_t take = lf != nullptr ? static_cast<std::size_t>(lf - start) : end_ - begin_;
    if (line.size() + take > maxLength_) {
      const std::string reason =
          "line " + std::to_string(lineNumber_ + 1) + " is longer than " + SizeText(maxLength_);
      throw FileError(FileError::Failure::BadContent, name_ + ": " + reason, name_, reason);
    }
    line.append(start, take);
    begin_ += take;
    if (lf != nullptr) {
      ++begin_;
      break;
    }
  }
  ++lineNumber_;
  return true;
}

std::optional<std::string> ReadWholeInput(InputSource& source, std::size_t maxBytes) {
  std::string text;
  std::vector<char> chunk(ChunkSize);
  for (;;) {
    const std::size_t n = source.Read(chunk.data(), chunk.size());
    if (n == 0) return text;
    if (text.size() + n > maxBytes) return std::nullopt;
    text.append(chunk.data(), n);
  }
}

std::string SizeText(std::size_t bytes) {
  if (bytes % (std::size_t{1} << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
  return std::to_string(bytes) + " bytes";
}

std::string_view WithoutByteOrderMark(std::string_view text) {
  constexpr std::string_view Mark = "\xEF\xBB\xBF";
  if (text.substr(0, Mark.size()) == Mark) text.remove_prefix(Mark.size());
  return text;
}

}  // namespace tovimar
