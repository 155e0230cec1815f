#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

namespace tovimar::batch {

// A line on standard error that counts the runs of a sweep or a design as they finish
// ("tovimar-batch: sweep: 12 of 40 runs"), drawn over itself and left standing at the end,
// as the design search's progress is. Only when standard error is a terminal: scripts, pipes
// and files see nothing of it. Nor when the runs' records go to that terminal themselves
// (standard output a terminal too): they show the progress, and the line would break them.
class ProgressLine {
 public:
  // `what` names the work; `total` is the number of runs when it is known beforehand;
  // `recordsToStandardOutput`: the records of the runs are written to standard output.
  ProgressLine(std::string what, std::optional<std::size_t> total, bool recordsToStandardOutput);
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;
  ~ProgressLine();

  // `done` runs have finished. Drawn at most ten times a second, and always the last run.
  void Count(std::size_t done);
  // Ends the line with the count drawn last, before a message follows it on standard error.
  void End();

 private:
  void Draw();

  bool shown_;
  std::string what_;
  std::optional<std::size_t> total_;
  std::size_t done_ = 0;
  bool drawn_ = false;
  bool drawnLast_ = false;
  std::chrono::steady_clock::time_point last_;
};

}  // namespace tovimar::batch
