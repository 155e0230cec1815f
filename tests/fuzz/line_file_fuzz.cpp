// The line-file reader over arbitrary bytes as the file's JSON (deep nesting, repeated keys,
// numbers out of range, bytes that are not UTF-8), and the writer over what it read.
//
// Invariants: the reader returns settings or refuses with LineFileError, nothing else; every
// number it accepts is finite and not negative, the LELs and limits above zero; and what it
// accepted, written again, reads back to settings that write the same text.

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "conditionfile/line_file.h"
#include "fuzz_support.h"

namespace {

using tovimar::fuzz::Quote;

void CheckNumbers(const tovimar::LineSettings& s, const std::string& where) {
  const auto sound = [](double v) { return std::isfinite(v) && v >= 0; };
  TOVIMAR_FUZZ_CHECK(sound(s.WebWidth) && sound(s.BoilingMarginMin), where + ": a bad width or margin");
  TOVIMAR_FUZZ_CHECK(sound(s.LEL1) && s.LEL1 > 0 && sound(s.LEL2) && s.LEL2 > 0 && sound(s.LELLimit) &&
                         s.LELLimit > 0,
                     where + ": a bad LEL or limit");
  TOVIMAR_FUZZ_CHECK(!s.ResidualTarget || sound(*s.ResidualTarget), where + ": a bad residual target");
  TOVIMAR_FUZZ_CHECK(!s.ZoneExhaustFlow[0] && !s.ZoneLELLimit[0], where + ": a setting for zone 0");
  for (std::size_t zone = 1; zone < s.ZoneExhaustFlow.size(); ++zone) {
    const auto& flow = s.ZoneExhaustFlow[zone];
    const auto& limit = s.ZoneLELLimit[zone];
    TOVIMAR_FUZZ_CHECK(!flow || sound(*flow), where + ": a bad exhaust flow");
    TOVIMAR_FUZZ_CHECK(!limit || (sound(*limit) && *limit > 0), where + ": a bad zone limit");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string where = "line file " + Quote(bytes);
  tovimar::LineSettings settings;
  try {
    settings = tovimar::ParseLineSettings(bytes);
  } catch (const tovimar::LineFileError&) {
    return 0;
  } catch (const std::exception& e) {
    TOVIMAR_FUZZ_CHECK(false, where + ": refused with another error: " + e.what());
  }
  CheckNumbers(settings, where);

  std::string written;
  std::string again;
  try {
    written = tovimar::FormatLineSettings(settings);
    again = tovimar::FormatLineSettings(tovimar::ParseLineSettings(written));
  } catch (const std::exception& e) {
    TOVIMAR_FUZZ_CHECK(false, where + ": what was read does not write and read back: " + e.what());
  }
  TOVIMAR_FUZZ_CHECK(again == written, where + ": written " + Quote(written) + ", then " + Quote(again));
  return 0;
}
