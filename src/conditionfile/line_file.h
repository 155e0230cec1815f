#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/errors.h"
#include "input/line_catalogue.h"
#include "input/line_settings.h"

namespace tovimar {

// The line file: the line settings as one JSON object, each under the key its entry of the
// line-setting catalogue (input/line_catalogue.h) gives, for example
//
//   {
//     "WebWidth": 1.2,
//     "ZoneExhaustFlow": {"1": 10000.0, "2": 8000.0},
//     "LEL1": 1.4,
//     "LEL2": 1.1,
//     "LELLimit": 25.0,
//     "ZoneLELLimit": {"2": 50.0},
//     "ResidualTarget": 1.0,
//     "BoilingMarginMin": 5.0,
//     "Optimise": {"Objective": "max:LineSpeed",
//                  "Variables": ["LineSpeed=0.1:3", "ZoneAirTemp[2]=40:120"],
//                  "Limits": ["LineEndResidualSolvent<=2"]},
//     "Fit": {"MeasurementFile": "line7.csv", "Parameters": ["Keff", "We=0:1"],
//             "StandardDeviations": ["web temperature (C)=0.5"]}
//   }
//
// The two zone settings are objects keyed by the zone number ("1" to "14"), so that a file
// names only the zones it sets; a zone left out (or given as null) has no exhaust flow and
// the common limit. An exhaust flow of 0 is a zone without exhaust air: judged, and without
// bound as soon as it evaporates solvent. (Files were never written with a 0 for a zone
// without a flow: such zones were always left out.)
// A setting kept in a nested object of the catalogue ("Model": {...}) is read and written
// inside that object. Every key may be left out (its default applies); null for a setting
// that may be not set ("ResidualTarget": null) is the same as leaving it out. Every number is
// finite and within its catalogue range (none negative; the LELs and the limits above
// zero); a text setting holds a text. Any other key is refused.
//
// "MaterialOverrides" keeps the values of the named materials ("Solvent1", "Solvent2",
// "Polymer") that differ from the materials library's: an object of the condition field
// names of the materials' entries, each a number or a text ({"HeatOfVaporization1": 400}).
// Reading the file gives the entries the library's values of the named materials and then
// these, so the run is repeated while the materials stay named. A number is written as one
// where the text is the number's shortest form, so that it reads back as the same text.
//
// "Optimise" and "Fit" keep what the Optimise and Fit pages were last set to (OptimiseSetup
// and FitSetup of input/line_settings.h), in the batch tool's text forms (--objective,
// --vary, --limit; --measured, --fit, --sd). Either object and each of its keys may be left
// out; "Objective" and "MeasurementFile" are texts, the others lists of texts, and no text
// is empty. The texts are kept as they are: whoever uses them reads and checks them
// (study/optimise.h, study/fit.h). A set-up left empty is left out when writing, so a file
// without them is written as it was before they existed.

// A line file or a line setting that cannot be read; the message names the key.
using LineFileError = LineSettingError;

// The settings of the JSON text `json`; throws LineFileError.
LineSettings ParseLineSettings(std::string_view json);

// A longer line file is refused unread.
inline constexpr std::size_t MaxLineFileLength = std::size_t{16} << 20;

// The settings of the line file at `path`. Throws FileError when it cannot be opened or read
// (CannotOpen, "Line file can not open! ("PATH": REASON)": missing, a directory, a device, a
// named pipe with no writer) or is longer than MaxLineFileLength (BadContent), and
// LineFileError, with the file named, when its content is refused.
LineSettings ReadLineFile(const std::string& path);

// The JSON text of `settings` (two-space indents, a final line end); reading it gives back
// the same settings, in the catalogue's order. Zones without an exhaust flow or an own
// limit, and a missing residual target, are left out, and so are the set-ups' empty texts
// and lists; a setting the catalogue writes only when changed is left out at its default. Throws LineFileError
// when a set-up holds a text that is not UTF-8.
std::string FormatLineSettings(const LineSettings& settings);

// Writes FormatLineSettings(settings) through WriteTextFile; throws FileError naming the
// file when it cannot be written completely, LineFileError as FormatLineSettings does.
void WriteLineFile(const std::string& path, const LineSettings& settings);

// The value of `setting` in `settings` as `--set` takes it: a number in its shortest exact
// form, a text as it is; empty when it is not set.
std::string LineSettingText(const LineSetting& setting, const LineSettings& settings);

}  // namespace tovimar
