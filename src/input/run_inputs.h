#pragma once

#include <map>
#include <string>

#include "input/entry_texts.h"
#include "input/line_settings.h"

namespace tovimar {

// What a run is made of: the text of every entry of the window (the 120 condition fields and
// the Save File Name, by entry name) and the line settings it is judged against. Kept with a
// pinned run and in a session, so that the run can be told from others and made again.
struct RunInputs {
  std::map<std::string, std::string, std::less<>> entries;
  LineSettings line;
};

// Every entry's text of `entries` (AllEntryNames) with `line`.
RunInputs InputsOf(const EntryTexts& entries, const LineSettings& line);

// The entries as a run reads them: a fresh window's texts with those of `inputs` over them,
// disabled entries included. Throws std::out_of_range for a name that is no entry's.
MapEntryTexts EntriesOf(const RunInputs& inputs);

}  // namespace tovimar
