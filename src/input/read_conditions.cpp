#include "input/read_conditions.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "input/field_catalogue.h"
#include "input/number_parse.h"
#include "model/arithmetic.h"

namespace tovimar {

std::string ZoneValueNotCorrectMessage(int zone) {
  return "Input value of Zone " + std::to_string(zone) + " is not correct!";
}

namespace {

ReadStop InputMessage(std::string text, std::string_view entryName) {
  return ReadStop{ReadStopKind::InputMessage, std::move(text), std::string(entryName)};
}

// A whole number held in a long double, as text; very large ones in exponent form.
std::string WholeNumberText(long double value) {
  if (std::fabs(value) < 1e18L) {
    return std::to_string(static_cast<long long>(value));
  }
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::scientific, 3);
  return std::string(buffer.data(), result.ptr);
}

// The step count of zone `zone`: the zone length over the step length, formed with a
// 64-bit significand (not rounded to a double first) and rounded to the nearest integer,
// halfway cases to the even one.
std::optional<ReadStop> StepCount(int zone, double zoneLength, double stepLength,
                                  std::int32_t& steps) {
  const std::string where = "Arithmetic error in the step count of zone " + std::to_string(zone) + ": ";
  const char* what = "Zone Length / Increment of z";
  if (stepLength == 0.0) {
    const arith::Fault fault =
        zoneLength == 0.0 ? arith::Fault::ZeroByZero : arith::Fault::DivisionByZero;
    return ReadStop{ReadStopKind::ArithmeticFault, where + arith::Describe(fault, what) + ".", {}};
  }
  const long double quotient =
      static_cast<long double>(zoneLength) / static_cast<long double>(stepLength);
  if (!std::isfinite(quotient)) {
    return ReadStop{ReadStopKind::ArithmeticFault,
                    where + arith::Describe(arith::Fault::Overflow, what) + ".", {}};
  }
  // The default rounding mode rounds halfway cases to even.
  const long double rounded = std::nearbyint(quotient);
  const std::string zoneText = "Zone " + std::to_string(zone);
  if (rounded > static_cast<long double>(MaxStepsPerZone)) {
    return ReadStop{ReadStopKind::StepCountRefused,
                    zoneText + " needs " + WholeNumberText(rounded) +
                        " steps; a zone can have at most " + std::to_string(MaxStepsPerZone) +
                        ". Increase the Increment of z or shorten the zone.",
                    ZoneField(zone, 2).entryName};
  }
  if (rounded < 0.0L) {
    return ReadStop{ReadStopKind::StepCountRefused,
                    zoneText + " would need " + WholeNumberText(rounded) +
                        " steps; a zone cannot have a negative number of steps. Neither the "
                        "Zone Length nor the Increment of z may be negative.",
                    ZoneField(zone, 2).entryName};
  }
  // 0..1999 now, so the conversion is exact.
  steps = static_cast<std::int32_t>(rounded);
  return std::nullopt;
}

// The message of a zone's Outer Temperature that is not a number.
std::string NotANumberMessage(const std::string& text, int zone) {
  return "\"" + text + "\" is not a valid number (Outer Temperature of zone " +
         std::to_string(zone) + ").";
}

// The value of a field: its override, or its entry's text read as a number; none when that
// is not a number (an override that is not a finite number included).
std::optional<double> FieldValue(const ConditionField& field, const EntryTexts& entries,
                                 const ConditionOverrides& overrides) {
  if (const std::optional<double> value = overrides.Find(field)) {
    return std::isfinite(*value) ? value : std::nullopt;
  }
  return ParseNumber(entries.Text(field.entryName));
}

}  // namespace

bool EndsZoneChain(std::string_view outerText) {
  if (outerText.empty()) {
    return true;
  }
  // The value as parsed, not the double it is stored as: a value below the double range is
  // stored as zero but was not given as zero. Minus zero is zero.
  const std::optional<long double> wide = ParseNumberLongDouble(outerText);
  return wide && *wide == 0.0L;
}

std::optional<ReadStop> ReadConditions(DryingConditions& c, const EntryTexts& entries,
                                       const ConditionOverrides& overrides) {
  // 1. The general fields, each stored as soon as it is read; the first one that is not a
  //    number stops the reading with the general message.
  for (const ConditionField* field : GeneralFieldsInReadOrder()) {
    const std::optional<double> value = FieldValue(*field, entries, overrides);
    if (!value) {
      return InputMessage(std::string(InputValueNotCorrectMessage), field->entryName);
    }
    field->Value(c) = *value;
  }
  c.ResultFileName = entries.Text(SaveFileNameEntry);

  // 2., 3. One zone at least; a result file must be named (a name of spaces passes).
  c.ZoneCount = 1;
  if (c.ResultFileName.empty()) {
    return InputMessage(std::string(InputSaveFileNameMessage), SaveFileNameEntry);
  }

  // 4. The zone chain: zone k takes part when every zone before it does and its Outer
  //    Temperature is present and not zero. Its values are staged and reach the record only
  //    when the whole chain has been read.
  std::array<std::array<double, ZoneColumns>, MaxZones + 1> staged{};
  int zoneCount = 1;
  for (int zone = 2; zone <= MaxZones; ++zone) {
    const ConditionField& outerField = ZoneField(zone, 1);
    if (const std::optional<double> outer = overrides.Find(outerField)) {
      if (!std::isfinite(*outer)) {  // as its text would be
        const std::string text = std::isnan(*outer) ? "nan" : *outer > 0 ? "inf" : "-inf";
        return ReadStop{ReadStopKind::NotANumber, NotANumberMessage(text, zone), outerField.entryName};
      }
      if (*outer == 0.0) {  // minus zero too
        break;
      }
    } else {
      const std::string outerText = entries.Text(outerField.entryName);
      if (outerText.empty()) {
        break;
      }
      const std::optional<double> parsed = ParseNumber(outerText);
      if (!parsed) {
        return ReadStop{ReadStopKind::NotANumber, NotANumberMessage(outerText, zone),
                        outerField.entryName};
      }
      if (EndsZoneChain(outerText)) {
        break;
      }
    }
    for (int column = 1; column <= ZoneColumns; ++column) {
      const ConditionField& field = ZoneField(zone, column);
      const std::optional<double> value = FieldValue(field, entries, overrides);
      if (!value) {
        return InputMessage(ZoneValueNotCorrectMessage(zone), field.entryName);
      }
      staged[static_cast<std::size_t>(zone)][static_cast<std::size_t>(column - 1)] = *value;
    }
    zoneCount = zone;
  }
  c.ZoneCount = zoneCount;

  // 5. The staged zones into the record.
  for (int zone = 2; zone <= zoneCount; ++zone) {
    for (int column = 1; column <= ZoneColumns; ++column) {
      ZoneField(zone, column).Value(c) =
          staged[static_cast<std::size_t>(zone)][static_cast<std::size_t>(column - 1)];
    }
  }

  // 6. The step counts, stored only when every active zone has a usable one.
  ZoneIntArray steps = c.ZoneStepCount;
  for (int zone = 1; zone <= zoneCount; ++zone) {
    const auto index = static_cast<std::size_t>(zone);
    if (auto stop = StepCount(zone, c.ZoneLength[index], c.StepLength, steps[index])) {
      return stop;
    }
  }
  c.ZoneStepCount = steps;
  return std::nullopt;
}

}  // namespace tovimar
