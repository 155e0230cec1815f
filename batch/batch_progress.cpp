#include "batch_progress.h"

#include <unistd.h>

#include <cstdio>

namespace tovimar::batch {

ProgressLine::ProgressLine(std::string what, std::optional<std::size_t> total, bool recordsToStandardOutput)
    : shown_(::isatty(STDERR_FILENO) != 0 && !(recordsToStandardOutput && ::isatty(STDOUT_FILENO) != 0)),
      what_(std::move(what)),
      total_(total) {}

ProgressLine::~ProgressLine() { End(); }

void ProgressLine::End() {
  if (!drawn_) return;
  if (!drawnLast_) Draw();
  std::fputc('\n', stderr);
  drawn_ = false;
  shown_ = false;
}

void ProgressLine::Count(std::size_t done) {
  if (!shown_) return;
  done_ = done;
  const auto now = std::chrono::steady_clock::now();
  const bool last = total_ && done_ >= *total_;
  if (drawn_ && !last && now - last_ < std::chrono::milliseconds(100)) {
    drawnLast_ = false;
    return;
  }
  last_ = now;
  Draw();
}

void ProgressLine::Draw() {
  const std::string runs = std::to_string(done_) + (total_ ? " of " + std::to_string(*total_) : std::string()) +
                           ((total_ ? *total_ : done_) == 1 ? " run" : " runs");
  std::fprintf(stderr, "\rtovimar-batch: %s: %s   ", what_.c_str(), runs.c_str());
  std::fflush(stderr);
  drawn_ = true;
  drawnLast_ = true;
}

}  // namespace tovimar::batch
