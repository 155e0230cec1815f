// The lines every input is read in: up to their bound, whatever the reads' sizes.
#include "conditionfile/input_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace tovimar {
namespace {

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

}  // namespace
}  // namespace tovimar
