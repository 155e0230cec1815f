#pragma once

#include <string>
#include <string_view>

#include "input/entry_texts.h"

namespace tovimar {

// Why the chain of active zones ends where it does.
enum class ZoneChainEnd {
  AllZones,                // every zone of the dryer takes part
  NoOuterTemperature,      // the next zone's Outer Temperature is empty
  OuterTemperatureZero,    // the next zone's Outer Temperature is 0
  OuterTemperatureNotANumber,  // the next zone's Outer Temperature is not a number (a run stops there)
};

// The zones a run of the current entries would march through. Zone 1 always takes part;
// zone k (2..14) does when every zone before it does and the text of its Outer Temperature
// is present, a number and not zero. Only the Outer Temperatures are looked at: a bad
// value in another column of an active zone stops the run, not the chain.
struct ZoneChain {
  int activeZones = 1;
  ZoneChainEnd end = ZoneChainEnd::AllZones;
  int endZone = 0;  // the first zone not taking part; 0 when all take part
};

ZoneChain ActiveZoneChain(const EntryTexts& entries);

// Whether the entry is the Outer Temperature of one of zones 2..14: the only entries whose
// text can move the end of the zone chain.
bool IsChainOuterTemperature(std::string_view entryName);

// One line for the window: "Active zones: 5 (zone 6 has no Outer Temperature)",
// "Active zones: 14 (all 14 zones)".
std::string ZoneChainText(const ZoneChain& chain);

}  // namespace tovimar
