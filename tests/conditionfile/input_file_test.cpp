// The bounded reading every input shares: lines up to their bound, whole inputs up to theirs,
// and an input that never ends read no further than the bound.
#include "conditionfile/input_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace tovimar {
namespace {

// An input of zero bytes that never ends, as /dev/zero or a pipe fed from it; it counts
// what it gives.
class EndlessSource final : public InputSource {
 public:
  std::size_t Read(char* buffer, std::size_t size) override {
    std::memset(buffer, 0, size);
    given += size;
    return size;
  }
  std::size_t given = 0;
};

// Text in pieces of at most `piece` bytes, so that lines straddle the reads.
class PieceSource final : public InputSource {
 public:
  PieceSource(std::string_view text, std::size_t piece) : text_(text), piece_(piece) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min({size, piece_, text_.size()});
    std::memcpy(buffer, text_.data(), n);
    text_.remove_prefix(n);
    return n;
  }

 private:
  std::string_view text_;
  std::size_t piece_;
};

TEST(LineReader, LinesUpToTheirBound) {
  const struct {
    std::string text;
    std::vector<std::string> lines;  // before the refusal, if any
    std::string error;
  } cases[] = {
      {"", {}, ""},
      {"abc\ndef", {"abc", "def"}, ""},
      {"abc\r\n\n\r", {"abc\r", "", "\r"}, ""},
      {"12345678\n12345678", {"12345678", "12345678"}, ""},
      {"123456789\n", {}, "in.csv: line 1 is longer than 8 bytes"},
      {"a\n\n123456789", {"a", ""}, "in.csv: line 3 is longer than 8 bytes"},
  };
  for (const auto& c : cases) {
    for (const std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{1000}}) {
      SCOPED_TRACE(c.text + " in pieces of " + std::to_string(piece));
      PieceSource source(c.text, piece);
      LineReader reader(source, "in.csv", 8);
      std::vector<std::string> lines;
      std::string line;
      try {
        while (reader.Next(line)) {
          lines.push_back(line);
          EXPECT_EQ(reader.LineNumber(), lines.size());
        }
        EXPECT_EQ(c.error, "");
      } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), c.error);
        EXPECT_EQ(e.failure(), FileError::Failure::BadContent);
      }
      EXPECT_EQ(lines, c.lines);
    }
  }
}

TEST(InputBounds, AnEndlessInputIsReadNoFurtherThanItsBound) {
  EndlessSource endless;
  LineReader reader(endless, "/dev/zero");
  std::string line;
  EXPECT_THROW(reader.Next(line), FileError);
  EXPECT_LE(endless.given, MaxInputLineLength + 64 * 1024);

  EndlessSource whole;
  EXPECT_FALSE(ReadWholeInput(whole, 1 << 20).has_value());
  EXPECT_LE(whole.given, (1u << 20) + 64 * 1024);

  for (const std::size_t length : {std::size_t{0}, std::size_t{100}, std::size_t{65536}}) {
    const std::string text(length, 'x');
    TextSource exact(text);
    EXPECT_EQ(ReadWholeInput(exact, length), text);
    const std::string longer = text + "y";
    TextSource over(longer);
    EXPECT_FALSE(ReadWholeInput(over, length).has_value());
  }
}

}  // namespace
}  // namespace tovimar
