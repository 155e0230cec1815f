#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "input/line_settings.h"
#include "model/errors.h"

namespace tovimar {

// A line setting that cannot be taken (a value out of its range, an unknown name, a text that
// is not a number); the message names the setting.
class LineSettingError : public UserError {
 public:
  explicit LineSettingError(const std::string& message) : UserError(ErrorKind::Input, message) {}
};

enum class LineSettingType { Number, Text };

// How an entry reaches its member of LineSettings. A number is none when it is not set; a
// text is empty when it is not set. `zone` is the entry's zone (0 for a setting of the line).
struct LineSettingAccess {
  std::optional<double> (*number)(const LineSettings&, int zone) = nullptr;
  void (*setNumber)(LineSettings&, int zone, std::optional<double> value) = nullptr;
  std::string (*text)(const LineSettings&, int zone) = nullptr;
  void (*setText)(LineSettings&, int zone, std::string value) = nullptr;
  bool whole = false;  // a number the member keeps as a whole number
};

// The access to the member reached from LineSettings by the member pointers `Path`, one for a
// member of LineSettings itself (&LineSettings::WebWidth), two for a member of a nested
// record (&LineSettings::Model, &ModelChoice::name). The member is a double, a whole number
// (std::int32_t), an optional double (none: not set), a ZoneSetting or a ZoneArray (a number
// per zone), or a std::string (a text setting).
template <auto... Path>
constexpr LineSettingAccess MemberAccess() {
  using Member = std::remove_cvref_t<decltype((std::declval<LineSettings&>() .* ... .* Path))>;
  LineSettingAccess a;
  if constexpr (std::is_same_v<Member, double>) {
    a.number = [](const LineSettings& s, int) -> std::optional<double> { return (s .* ... .* Path); };
    a.setNumber = [](LineSettings& s, int, std::optional<double> v) { (s .* ... .* Path) = v.value(); };
  } else if constexpr (std::is_same_v<Member, std::optional<double>>) {
    a.number = [](const LineSettings& s, int) { return (s .* ... .* Path); };
    a.setNumber = [](LineSettings& s, int, std::optional<double> v) { (s .* ... .* Path) = v; };
  } else if constexpr (std::is_same_v<Member, std::int32_t>) {
    a.number = [](const LineSettings& s, int) -> std::optional<double> { return (s .* ... .* Path); };
    a.setNumber = [](LineSettings& s, int, std::optional<double> v) {
      (s .* ... .* Path) = static_cast<std::int32_t>(v.value());
    };
    a.whole = true;
  } else if constexpr (std::is_same_v<Member, ZoneSetting> || std::is_same_v<Member, ZoneArray>) {
    a.number = [](const LineSettings& s, int zone) -> std::optional<double> {
      return (s .* ... .* Path)[static_cast<std::size_t>(zone)];
    };
    a.setNumber = [](LineSettings& s, int zone, std::optional<double> v) {
      if constexpr (std::is_same_v<Member, ZoneArray>) {
        (s .* ... .* Path)[static_cast<std::size_t>(zone)] = v.value();
      } else {
        (s .* ... .* Path)[static_cast<std::size_t>(zone)] = v;
      }
    };
  } else {
    static_assert(std::is_same_v<Member, std::string>, "a line setting is a number or a text");
    a.text = [](const LineSettings& s, int) { return (s .* ... .* Path); };
    a.setText = [](LineSettings& s, int, std::string v) { (s .* ... .* Path) = std::move(v); };
  }
  return a;
}

// One line setting: every fact about it lives here, and the line file, `--set`,
// `--list-names`, the Line page, the report and the studies take it from this catalogue.
// A per-zone setting has one entry per zone, each with its zone.
struct LineSetting {
  std::string name;     // as `--set` and `--list-names` give it: "WebWidth", "ZoneExhaustFlow[3]"
  std::string object;   // the JSON object holding the key: empty for the line file's own
                        // object, "Model" for a key inside "Model": {...}
  std::string key;      // the JSON key; a per-zone key holds an object of zone numbers
  int zone = 0;         // 1..MaxZones for a per-zone setting, 0 for a setting of the line
  std::string caption;  // "Exhaust flow of zone 3" (UTF-8)
  std::string unit;     // "m3/h at 0 ℃ and 101.325 kPa" (UTF-8); empty for a text and for a
                        // ratio or a count of the drying model
  std::string meaning;  // what it is and does, for tooltips
  LineSettingType type = LineSettingType::Number;
  // The texts a text setting takes ("lumped", "diffusion"); empty: any text.
  std::vector<std::string> choices;
  // The range of a number: at least `lower` (above it when !lowerIncluded), at most `upper`.
  double lower = 0;
  bool lowerIncluded = true;
  double upper = std::numeric_limits<double>::infinity();
  // Whether it may be not set (a zone's exhaust flow, the residual target): an empty value
  // given to `--set` clears it.
  bool optional = false;
  // Whether the line file holds it at its default too (a per-zone key: its object, even when
  // empty); otherwise it is written only when it differs from its default, so that a setting
  // added later leaves the files written before it unchanged.
  bool writtenAtDefault = false;
  LineSettingAccess access;

  [[nodiscard]] std::optional<double> Number(const LineSettings& s) const { return access.number(s, zone); }
  [[nodiscard]] std::string Text(const LineSettings& s) const { return access.text(s, zone); }
  // Whether `s` holds a value for it (a number, or a text that is not empty).
  [[nodiscard]] bool IsSet(const LineSettings& s) const;
  // Whether `a` and `b` hold the same value for it.
  [[nodiscard]] bool Same(const LineSettings& a, const LineSettings& b) const;
};

// Every line setting, the per-zone ones expanded to zones 1..MaxZones, in the order of the
// line file and of `--list-names`.
const std::vector<LineSetting>& LineSettingCatalogue();

// The setting named `name` ("LEL1", "ZoneExhaustFlow[3]"); nullptr when there is none.
const LineSetting* FindLineSetting(std::string_view name);

// The setting of `key` in the JSON object `object`, at `zone` (0 for a setting of the line);
// nullptr when there is none.
const LineSetting* FindLineSetting(std::string_view object, std::string_view key, int zone);

// The range of a number as a tooltip gives it: "0 or more", "above 0", "1 to 10".
std::string RangeText(const LineSetting& setting);

// The name with its unit, as a result file and the fit's report title a value:
// "D0_1 (cm2/s)", "ZoneMassTransferCoef1[3] (m/s)", "Xi1".
std::string NameWithUnit(const LineSetting& setting);

// The settings of the line file's "Model" object for a run of `choice` as "name (unit)" and
// value rows, each number in the shortest form that reads back exactly (a zone's row only
// where it is set): for a result file or a report. Empty for the lumped model, which takes
// none of them.
std::vector<std::pair<std::string, std::string>> ModelParameterRows(const ModelChoice& choice);

// Checks and stores a number (none: clear) or a text (empty: clear) of `setting` in `s`.
// Throws LineSettingError, leaving `s` unchanged, for a value out of the setting's range or
// not a finite number (or not whole where the setting counts), for a text not among its
// choices, for clearing a setting that cannot be cleared, and for a value of the
// other type.
void SetLineSetting(LineSettings& s, const LineSetting& setting, std::optional<double> value);
void SetLineSettingText(LineSettings& s, const LineSetting& setting, std::string text);

// Applies "NAME=TEXT" to `settings`. A number is read with ParseNumber; an empty TEXT clears
// an optional setting (a zone's exhaust flow then is not given; "0" gives it as 0). Throws
// LineSettingError for an unknown name, a missing "=", a text that is not a number, or a
// value the line file would refuse; `settings` is then unchanged.
void ApplyLineSetting(LineSettings& settings, std::string_view assignment);

}  // namespace tovimar
