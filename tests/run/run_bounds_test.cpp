// The checks after a completed run: a web hotter or colder than anything around it with no
// phase change to explain it, and solvent taken up from air that holds none, are warned
// with zone and step; drying that behaves as drying does is not.
#include "run/run_bounds.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "input/entry_texts.h"
#include "input/field_catalogue.h"
#include "run/run_sequence.h"

namespace tovimar {
namespace {

TEST(RunBounds, WarnsWhatDryingCannotDo) {
  const struct {
    const char* name;
    std::vector<std::pair<const char*, const char*>> fields;  // field name, text
    std::vector<std::string> warnings;                        // all of the run's warnings
  } cases[] = {
      {"default run", {}, {}},
      // Evaporation cools the web below every temperature around it: that is drying.
      {"evaporative cooling", {{"ZoneAirTemp[1]", "20"}, {"ZoneAirTemp[2]", "20"}, {"InitialTemp", "20"}}, {}},
      // Air that holds solvent-1 gives some back: its weight may rise.
      {"humid air", {{"ZoneHumidity1[1]", "0.05"}}, {}},
      {"negative Keff",
       {{"Keff", "-0.1"}},
       {"Dryer Efficiency Parameter Keff is negative (-0.1).",
        "The web heats to 60.1 \u00B0C in zone 1, step 88, above every air temperature and the initial "
        "temperature (60.0 \u00B0C at most), with no solvent to condense from the air.",
        "The solvent-1 weight rises in zone 1, step 1 (from 0.0417 to 0.0417051 kg/m2) although the "
        "zone's air holds none of that solvent.",
        "The solvent-2 weight rises in zone 1, step 1 (from 0.01529 to 0.0152902 kg/m2) although the "
        "zone's air holds none of that solvent."}},
      {"negative heat of vaporization",
       {{"HeatOfVaporization1", "-400"}},
       {"Heat of Vaporization of Solvent-1 (kJ/kg) is negative (-400).",
        "The web heats to 61.0 \u00B0C in zone 1, step 37, above every air temperature and the initial "
        "temperature (60.0 \u00B0C at most), with no solvent to condense from the air."}},
      // Drying stopped (every fraction below We) and heat drawn out through the base film.
      {"cooled without drying",
       {{"We", "0.9"}, {"Wi", "0.95"}, {"Wx", "0.92"}, {"ZoneHeatCoefLower[1]", "-0.05"},
        {"ZoneLength[1]", "3"}, {"ZoneAirTemp[2]", ""}},
       {"Heat Trans. Coeff. - Lower (kJ/m2.s.K) of zone 1 is negative (-0.05).",
        "The web cools to 14.4 \u00B0C in zone 1, step 1, below every air temperature and the initial "
        "temperature (15.0 \u00B0C at least), with no solvent evaporating."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MapEntryTexts entries;
    for (const auto& [field, text] : c.fields) {
      entries.ForceText(FindField(field)->entryName, text);
    }
    Simulation sim;
    RunOptions options;
    options.writeResultFile = false;
    const RunOutcome outcome = RunSimulation(sim, entries, options);
    ASSERT_TRUE(outcome.completed()) << outcome.message;
    EXPECT_EQ(outcome.warnings, c.warnings);
  }
}

}  // namespace
}  // namespace tovimar
