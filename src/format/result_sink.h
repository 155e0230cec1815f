#pragma once

#include <string>
#include <string_view>

namespace tovimar {

// Where a run's result file goes, piece by piece: Create begins it afresh with the first
// piece (the condition section), Append adds each later one (a zone's section or table).
// The file on disk (ResultFile) and text in memory (MemoryResultSink) take the same pieces
// from the same writers, so a run kept in memory holds the bytes the file would.
class ResultSink {
 public:
  ResultSink() = default;
  ResultSink(const ResultSink&) = default;
  ResultSink& operator=(const ResultSink&) = default;
  virtual ~ResultSink() = default;

  // Both throw FileError (or ResultWriteError) when the piece cannot be written.
  virtual void Create(std::string_view text) const = 0;
  virtual void Append(std::string_view text) const = 0;
};

// The result file's bytes in a text the caller owns (and which must outlive the sink):
// Create replaces the text, Append adds to it.
class MemoryResultSink final : public ResultSink {
 public:
  explicit MemoryResultSink(std::string& text) : text_(&text) {}

  void Create(std::string_view text) const override { text_->assign(text); }
  void Append(std::string_view text) const override { text_->append(text); }

 private:
  std::string* text_;
};

}  // namespace tovimar
