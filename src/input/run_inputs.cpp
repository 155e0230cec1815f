#include "input/run_inputs.h"

#include "input/field_catalogue.h"

namespace tovimar {

RunInputs InputsOf(const EntryTexts& entries, const LineSettings& line) {
  RunInputs inputs;
  for (const std::string& name : AllEntryNames()) inputs.entries.emplace(name, entries.Text(name));
  inputs.line = line;
  return inputs;
}

MapEntryTexts EntriesOf(const RunInputs& inputs) {
  MapEntryTexts entries;
  for (const auto& [name, text] : inputs.entries) entries.ForceText(name, text);
  return entries;
}

}  // namespace tovimar
