#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "input/condition_overrides.h"
#include "input/entry_texts.h"
#include "model/conditions.h"

namespace tovimar {

inline constexpr std::string_view InputValueNotCorrectMessage = "Input value is not correct!";
inline constexpr std::string_view InputSaveFileNameMessage = "Input Save File Name!";

// "Input value of Zone k is not correct!" for zone k (2..14).
std::string ZoneValueNotCorrectMessage(int zone);

// Why reading the conditions stopped.
enum class ReadStopKind {
  InputMessage,      // an input message was shown: a general field or a field of a zone is
                     // not a number, or the Save File Name is empty
  NotANumber,        // a zone's Outer Temperature is neither empty nor a number
  StepCountRefused,  // a zone's step count lies outside 0..1999
  ArithmeticFault,   // the step count cannot be formed (a zero Increment of z)
};

struct ReadStop {
  ReadStopKind kind = ReadStopKind::InputMessage;
  std::string message;
  // The entry that holds the offending text ("Edit212"); empty when no single entry does.
  std::string entryName;
};

// Reads every condition entry into `c`: the 42 general fields in reading order (each stored
// as soon as it is read), the Save File Name, the zone chain, the zone count and the step
// count of every active zone. Returns nothing when the conditions are complete and usable;
// then every active zone has a step count of 0..1999 and the file name is not empty.
//
// What a stop leaves in `c`:
// - a general field not a number ("Input value is not correct!"): the fields read before it
//   are new, it and everything after it unchanged;
// - an empty Save File Name ("Input Save File Name!"): the general fields new, the name
//   empty, ZoneCount 1;
// - a field of zone k not a number (the zone-k message) or zone k's Outer Temperature
//   neither empty nor a number (not shown; the message quotes the text): the general fields
//   and the name new, ZoneCount 1, zones 2..14 and every step count unchanged;
// - a zero Increment of z, or a step count outside 0..1999: the general fields, the name,
//   ZoneCount and the active zones new; every step count unchanged.
// The caller shows the message: an InputMessage as the window's plain message box, the others
// as an error.
//
// A field with a value in `overrides` takes that value instead of its entry's text, and
// everything above holds as if the entry held the value's exact text.
std::optional<ReadStop> ReadConditions(DryingConditions& c, const EntryTexts& entries,
                                       const ConditionOverrides& overrides = {});

// Whether zone k's Outer Temperature text ends the zone chain: it is empty, or a number that
// is zero as parsed (with a 64-bit significand, so 1e-400, stored as 0.0, does not end it).
// A text that is not a number ends nothing; reading the conditions stops at it.
bool EndsZoneChain(std::string_view outerText);

}  // namespace tovimar
