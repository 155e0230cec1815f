#include "support/recorded.h"

namespace tovimar {

RunOutcome RunSimulation(Simulation& sim, const EntryTexts& entries, UserMessages& messages,
                         const RunOptions& options) {
  RunOutcome outcome = RunSimulation(sim, entries, options);
  if (outcome.style == MessageStyle::Notice) {
    messages.ShowMessage(outcome.message);
  }
  return outcome;
}

std::optional<ReadStop> ReadConditions(DryingConditions& c, const EntryTexts& entries,
                                       UserMessages& messages) {
  std::optional<ReadStop> stop = ReadConditions(c, entries);
  if (stop && stop->kind == ReadStopKind::InputMessage) {
    messages.ShowMessage(stop->message);
  }
  return stop;
}

DataFileLoad LoadDataFile(const std::string& fullPath, EntryTexts& entries, UserMessages& messages) {
  try {
    LoadDataFile(fullPath, entries);
    return DataFileLoad::Loaded;
  } catch (const FileError& e) {
    messages.ShowMessage(e.what());
    return e.failure() == FileError::Failure::CannotOpen ? DataFileLoad::CannotOpen
                                                         : DataFileLoad::NotDataFile;
  }
}

namespace {

template <typename Write>
bool Opened(UserMessages& messages, Write write) {
  try {
    write();
    return true;
  } catch (const ResultWriteError&) {
    throw;
  } catch (const FileError& e) {
    messages.ShowMessage(e.what());
    return false;
  }
}

}  // namespace

bool WriteConditionSection(const DryingConditions& c, const ResultFile& file, UserMessages& messages) {
  return Opened(messages, [&] { WriteConditionSection(c, file); });
}

bool WriteZoneSection(const DryingConditions& c, const ResultFile& file, UserMessages& messages, int k) {
  return Opened(messages, [&] { WriteZoneSection(c, file, k); });
}

bool WriteResultTable(const Simulation& sim, const ResultFile& file, UserMessages& messages,
                      std::int32_t k, std::int32_t n) {
  return Opened(messages, [&] { WriteResultTable(sim, file, k, n); });
}

bool CreateFile(const ResultFile& file, std::string_view text, UserMessages& messages) {
  return Opened(messages, [&] { file.Create(text); });
}

bool AppendFile(const ResultFile& file, std::string_view text, UserMessages& messages) {
  return Opened(messages, [&] { file.Append(text); });
}

}  // namespace tovimar
