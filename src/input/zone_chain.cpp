#include "input/zone_chain.h"

#include <optional>

#include "input/field_catalogue.h"
#include "input/number_parse.h"
#include "input/read_conditions.h"

namespace tovimar {

ZoneChain ActiveZoneChain(const EntryTexts& entries) {
  ZoneChain chain;
  for (int zone = 2; zone <= MaxZones; ++zone) {
    const std::string text = entries.Text(ZoneField(zone, 1).entryName);
    if (text.empty()) {
      return {zone - 1, ZoneChainEnd::NoOuterTemperature, zone};
    }
    const std::optional<double> value = ParseNumber(text);
    if (!value) {
      return {zone - 1, ZoneChainEnd::OuterTemperatureNotANumber, zone};
    }
    if (EndsZoneChain(text)) {  // zero as parsed, as the condition reader takes it
      return {zone - 1, ZoneChainEnd::OuterTemperatureZero, zone};
    }
    chain.activeZones = zone;
  }
  return chain;
}

bool IsChainOuterTemperature(std::string_view entryName) {
  for (int zone = 2; zone <= MaxZones; ++zone) {
    if (entryName == ZoneField(zone, 1).entryName) {
      return true;
    }
  }
  return false;
}

std::string ZoneChainText(const ZoneChain& chain) {
  std::string text = "Active zones: " + std::to_string(chain.activeZones) + " (";
  const std::string zone = "zone " + std::to_string(chain.endZone);
  switch (chain.end) {
    case ZoneChainEnd::AllZones:
      return text + "all " + std::to_string(MaxZones) + " zones)";
    case ZoneChainEnd::NoOuterTemperature:
      return text + zone + " has no Outer Temperature)";
    case ZoneChainEnd::OuterTemperatureZero:
      return text + zone + " has Outer Temperature 0)";
    case ZoneChainEnd::OuterTemperatureNotANumber:
      return text + zone + ": Outer Temperature is not a number)";
  }
  return text + ")";
}

}  // namespace tovimar
