#pragma once

// Shared pieces of the fuzz targets: a failed check that stops the process with a message
// (libFuzzer then saves the input), and a reader that takes typed values from the input
// bytes. The same sources build under libFuzzer (clang) and as the corpus replay (gcc).

#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <string>
#include <string_view>

// Keeps the harness's own reference code out of the fuzzer's coverage feedback (clang), so
// that the fuzzer steers by the code under test and does not spend time tracing its
// reference over long inputs.
#if defined(__clang__)
#define TOVIMAR_FUZZ_NO_COVERAGE __attribute__((no_sanitize("coverage")))
#else
#define TOVIMAR_FUZZ_NO_COVERAGE
#endif

namespace tovimar::fuzz {

[[noreturn]] inline void Fail(const char* file, int line, const char* condition,
                              const std::string& detail) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n  %s\n", file, line, condition, detail.c_str());
  std::fflush(stderr);
  std::abort();
}

// Checks `condition`; `detail` (a std::string expression) is formed only on failure.
#define TOVIMAR_FUZZ_CHECK(condition, detail)                              \
  do {                                                                     \
    if (!(condition)) {                                                    \
      ::tovimar::fuzz::Fail(__FILE__, __LINE__, #condition, (detail));     \
    }                                                                      \
  } while (false)

// Takes values from the front of the input; once the bytes run out every value is zero.
class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  [[nodiscard]] bool empty() const { return pos_ >= size_; }
  [[nodiscard]] std::size_t left() const { return pos_ < size_ ? size_ - pos_ : 0; }

  std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }

  template <typename T>
  T Raw() {
    // The bytes that are left, zeros for the rest.
    T value{};
    const std::size_t n = sizeof(T) < left() ? sizeof(T) : left();
    if (n > 0) {
      std::memcpy(&value, data_ + pos_, n);
      pos_ += n;
    }
    return value;
  }

  // Up to `count` bytes as text (fewer when the input ends).
  std::string Text(std::size_t count) {
    const std::size_t n = count < left() ? count : left();
    std::string text(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return text;
  }

  // Everything not read yet.
  std::string_view Rest() {
    const std::size_t n = left();
    std::string_view rest(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ = size_;
    return rest;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// Whether `text` holds "nan" or "inf" in any case: the words a non-finite number would be
// written as.
TOVIMAR_FUZZ_NO_COVERAGE inline bool HasNonFiniteWord(std::string_view text) {
  for (std::size_t i = 0; i + 3 <= text.size(); ++i) {
    char w[3];
    for (int j = 0; j < 3; ++j) {
      const char ch = text[i + static_cast<std::size_t>(j)];
      w[j] = (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
    }
    if ((w[0] == 'n' && w[1] == 'a' && w[2] == 'n') || (w[0] == 'i' && w[1] == 'n' && w[2] == 'f')) {
      return true;
    }
  }
  return false;
}

// A scratch directory under /tmp for the whole process, removed with its contents when the
// process ends normally.
class ScratchDirectory {
 public:
  explicit ScratchDirectory(const char* prefix) {
    std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("mkdtemp");
      std::abort();
    }
    path_ = pattern;
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  [[nodiscard]] const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Printable form of arbitrary bytes for a failure message.
inline std::string Quote(std::string_view bytes, std::size_t limit = 200) {
  std::string out = "\"";
  for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
    const auto ch = static_cast<unsigned char>(bytes[i]);
    if (ch >= 0x20 && ch < 0x7F && ch != '"' && ch != '\\') {
      out += static_cast<char>(ch);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", ch);
      out += hex;
    }
  }
  if (bytes.size() > limit) {
    out += "...(" + std::to_string(bytes.size()) + " bytes)";
  }
  return out + "\"";
}

}  // namespace tovimar::fuzz
