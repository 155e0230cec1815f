// The drying model of a run, chosen by name: the run names it, and a model that cannot run
// stops the run before anything is read or written.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "input/field_catalogue.h"
#include "results/output_catalogue.h"
#include "results/summary_csv.h"
#include "run/run_sequence.h"
#include "support/scratch_dir.h"

namespace tovimar {
namespace {

using test_support::ScratchDir;

TEST(RunModels, TheRunNamesItsModelAndAModelThatCannotRunStopsBeforeAnything) {
  const struct {
    const char* name;
    RunStatus status;
    const char* message;
    const char* check;  // how the check's line begins, and its two numbers
    const char* first;
    const char* second;
  } cases[] = {
      {"lumped", RunStatus::Completed, "", "Step check: halving the Increment of z", "StepCheckWebTemp",
       "StepCheckResidual"},
      {"diffusion", RunStatus::Completed, "", "Grid check: doubling the cells changes", "GridCheckWebTemp",
       "GridCheckContent"},
      {"Lumped", RunStatus::StoppedAtInput,
       "There is no drying model named \"Lumped\"; the models are \"lumped\" and \"diffusion\".", "", "", ""},
      {"", RunStatus::StoppedAtInput,
       "There is no drying model named \"\"; the models are \"lumped\" and \"diffusion\".", "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir dir;
    MapEntryTexts entries;
    entries.SetText(SaveFileNameEntry, dir.File("result.txt"));
    Simulation sim;
    RunOptions options;
    options.model.name = c.name;
    const RunOutcome outcome = RunSimulation(sim, entries, options);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.message, c.message);
    EXPECT_EQ(outcome.model, c.name);
    EXPECT_EQ(sim.model->Name(), outcome.completed() ? std::string_view(c.name) : LumpedModelName);
    EXPECT_EQ(std::filesystem::exists(dir.File("result.txt")), outcome.completed());
    if (!outcome.completed()) {
      EXPECT_TRUE((outcome.style == MessageStyle::Error));
      EXPECT_EQ(sim.conditions.LineSpeed, 0);  // nothing read
      continue;
    }
    // The results name the model, and its check fills the summary's check columns.
    const RunResults results = DeriveResults(sim);
    EXPECT_EQ(results.model, c.name);
    EXPECT_EQ(results.check.line.rfind(c.check, 0), 0U) << results.check.line;
    EXPECT_EQ(LineValue(*FindOutput(c.first), results), results.check.Value(c.first));
    EXPECT_TRUE(results.check.Value(c.second).has_value());
  }
}

// A summary shows the check columns of its runs' model only: a lumped run's summary has the
// step check's, a summary of another model's runs none of them, its records as many fields
// as its header.
TEST(RunModels, ASummaryHasTheCheckColumnsOfItsModel) {
  Simulation sim;
  RunOptions options;
  options.writeResultFile = false;
  ASSERT_TRUE(RunSimulation(sim, MapEntryTexts{}, options).completed());
  const SummaryValues values = SummaryValuesOf(DeriveResults(sim));
  const std::string stepCheck = ",step check web temperature (K),step check residual ratio (-)";
  for (const std::string_view model : {LumpedModelName, DiffusionModelName}) {
    SCOPED_TRACE(model);
    std::string header, record;
    AppendSummaryHeader(header, 2, model);
    AppendSummaryValues(record, values, 2, model);
    EXPECT_EQ(header.find(stepCheck) != std::string::npos, model == LumpedModelName);
    EXPECT_EQ(std::count(header.begin(), header.end(), ','), std::count(record.begin(), record.end(), ','));
  }
}

}  // namespace
}  // namespace tovimar
