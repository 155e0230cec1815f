#include "support/fault_conditions.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <optional>

#include "input/entry_texts.h"
#include "input/number_parse.h"
#include "input/read_conditions.h"
#include "model/model.h"

namespace tovimar::test_support {

namespace {

std::string Exact(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", v);
  return text;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> PartialPressure760Texts() {
  for (const char* temperature : {"97.870", "97.871", "97.872", "97.873", "97.874", "97.875",
                                  "97.876", "97.877", "97.878", "97.879"}) {
    MapEntryTexts entries;
    entries.SetText("Edit7", temperature);
    Simulation sim;
    if (ReadConditions(sim.conditions, entries)) {
      return {};
    }
    PrepareInitialState(sim);
    DryingConditions& c = sim.conditions;
    const DryingProfile& p = *sim.profile;
    const Composition comp = CalcComposition(c, p.ProfileSolvent1Weight[1][0], p.ProfileSolvent2Weight[1][0]);
    const double T = p.ProfileTemp[1][0];
    // The surface ratio p / (760 - p) of solvent-1 for a Chi1p, or nothing at exactly 760.
    auto ratio = [&](double chi) -> std::optional<double> {
      c.Chi1p = chi;
      try {
        return CalcSurfaceHumidity1(c, sim.state, T, comp.Phi1, comp.Phi2, comp.X1);
      } catch (const ArithmeticError&) {
        return std::nullopt;
      }
    };
    double below = -1;  // partial pressure under 760: a positive ratio
    double above = 1;   // over 760: a negative one
    const auto atBelow = ratio(below);
    const auto atAbove = ratio(above);
    if (!atBelow || !atAbove || *atBelow <= 0 || *atAbove >= 0) {
      continue;
    }
    while (std::nextafter(below, above) != above) {
      double mid = below + (above - below) / 2;
      if (mid == below || mid == above) {
        mid = std::nextafter(below, above);
      }
      const auto r = ratio(mid);
      if (!r) {
        const std::string chiText = Exact(mid);
        if (ParseNumber(chiText) != mid) {
          break;
        }
        return {{"Edit7", temperature}, {"Edit206", chiText}};
      }
      (*r > 0 ? below : above) = mid;
    }
  }
  return {};
}

std::vector<ArithmeticFaultCase> ArithmeticFaultCases() {
  std::vector<ArithmeticFaultCase> cases{
      {"zero line speed",
       {{"Edit6", "0"}},
       "Arithmetic error in the initial state: division by zero in the time increment "
       "(Increment of z / Speed)",
       0},
      {"zero solvent-1 ratio",
       {{"Edit4", "0"}},
       "Arithmetic error in the initial state: zero divided by zero in the initial residual "
       "ratio of solvent-1",
       0},
      {"zero solvent-2 ratio",
       {{"Edit5", "0.0"}},
       "Arithmetic error in the initial state: zero divided by zero in the initial residual "
       "ratio of solvent-2",
       0},
      {"zero diffusivity of solvent-1",
       {{"Edit223", "0"}},
       "Arithmetic error in zone 1, mass-transfer coefficients: division by zero in the Schmidt "
       "number (diffusivity in air) of solvent-1",
       0},
      {"zero diffusivity of solvent-2",
       {{"Edit233", "-0"}},
       "Arithmetic error in zone 1, mass-transfer coefficients: division by zero in the Schmidt "
       "number (diffusivity in air) of solvent-2",
       0},
      {"T equal to -C of solvent-1",
       {{"Edit7", "-181.84"}},
       "Arithmetic error in zone 1, step 1: division by zero in the vapour pressure of "
       "solvent-1 (T + C)",
       0},
      {"T equal to -C of solvent-2",
       {{"Edit7", "-219.482"}},
       "Arithmetic error in zone 1, step 1: division by zero in the vapour pressure of "
       "solvent-2 (T + C)",
       0},
      {"zero heat capacity",
       {{"Edit211", "0"}, {"Edit221", "0"}, {"Edit231", "0"}, {"Edit241", "0"}},
       "Arithmetic error in zone 1, step 1: division by zero in the rate of temperature (heat "
       "capacity of the web)",
       0},
      // The march stays finite (no heat or mass transfer at all), but the position of the
      // second step, 2 x 1e307 s x 10 m/s, is beyond the largest double.
      {"position in the zone overflows",
       {{"Edit12", "0"}, {"Edit13", "0"}, {"Edit6", "10"}, {"Edit20", "1e308"}, {"Edit9", "1.7e308"}},
       "Arithmetic error in zone 1, step 2: overflow in the position in the zone (step x time "
       "increment x speed)",
       0},
      {"zero Increment of z",
       {{"Edit20", "0"}},
       "Arithmetic error in the step count of zone 1: division by zero in Zone Length / "
       "Increment of z.",
       -1},
  };
  cases.push_back({"partial pressure of 760 mmHg", PartialPressure760Texts(),
                   "Arithmetic error in zone 1, step 1: division by zero in the surface vapour "
                   "ratio of solvent-1 (partial pressure of 760 mmHg)",
                   0});
  return cases;
}

bool SetImmutable(const std::string& path, bool on) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  int flags = 0;
  bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (done) {
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  ::close(fd);
  return done;
}

}  // namespace tovimar::test_support
