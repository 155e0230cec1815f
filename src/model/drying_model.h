#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/conditions.h"
#include "model/diffusion_inputs.h"
#include "model/diffusion_parameters.h"

// The drying-model seam: a run prepares its model from the conditions, marches it zone by
// zone into the profile at the printed points, and checks it. Everything above model/ sees
// only the profile (DryingProfile), the model's name and parameters (ModelChoice) and what
// its check says (ModelCheckResult).
namespace tovimar {

struct Simulation;

inline constexpr std::string_view LumpedModelName = "lumped";
inline constexpr std::string_view DiffusionModelName = "diffusion";
// The model a run uses unless it is told otherwise.
inline constexpr std::string_view DefaultModelName = LumpedModelName;

// The steps the lumped model's search for a stable Increment of z may march over all its
// trials when the guard stops a run (about a second of marching).
inline constexpr std::int64_t DefaultStableSearchSteps = 3'000'000;

// The model of a run: its name and the parameters of the models that have any (only the
// named model's are used).
struct ModelChoice {
  std::string name{DefaultModelName};
  DiffusionModelParameters diffusion = DefaultDiffusionParameters();
  // The lumped model's search budget (fuzzing sets a small one to keep each input cheap).
  std::int64_t stableSearchSteps = DefaultStableSearchSteps;
};

// One number of a model's check, named as the output catalogue names it.
struct CheckValue {
  std::string_view name;  // of static storage: a name from CheckQuantities()
  double value = 0;
};

// What a model's check found, in terms every layer above the model understands.
struct ModelCheckResult {
  bool completed = false;   // false: the check's own run stopped (`line` says why)
  std::string line;         // one line for the user: "Step check: halving the ..."
  std::optional<std::string> warning;  // above the model's limits; without "Warning: "
  std::vector<CheckValue> values;      // empty when the check did not complete

  // The value of this name; none when the check did not complete or has no such number.
  [[nodiscard]] std::optional<double> Value(std::string_view name) const;
};

// A number a model's check yields: the model whose runs have it, its stable name (a line
// quantity of the output catalogue and a summary column), caption and unit.
struct CheckQuantity {
  std::string_view model;
  std::string_view name;
  std::string_view caption;
  std::string_view unit;
};

// What a model that resolves the coating's thickness knows of its inside at one printed
// point: the weight fraction of each solvent at the surface and at the base film.
struct CoatingInside {
  std::array<double, 2> surfaceW{};
  std::array<double, 2> baseW{};
};

// The coating's profile through its thickness at one printed point (the exit of a zone).
struct DepthProfile {
  std::int32_t zone = 0;
  std::int32_t step = 0;
  std::vector<DepthPoint> nodes;  // base film first
};

// Every model's check numbers, model by model.
const std::vector<CheckQuantity>& CheckQuantities();

// A model's check, marched from the conditions alone and compared with the completed run
// later: it may march on another thread while the run itself marches.
class ModelCheck {
 public:
  virtual ~ModelCheck() = default;
  // Compares with `completed`, the run the model made of the same conditions.
  [[nodiscard]] virtual ModelCheckResult Compare(const Simulation& completed) const = 0;
};

class DryingModel {
 public:
  virtual ~DryingModel() = default;

  [[nodiscard]] virtual std::string_view Name() const = 0;

  // Prepares a run of `sim.conditions` (read and complete): entry 0 of zone 1 of the profile,
  // the time increment of the printed points (sim.state.TimeIncrement: Increment of z over
  // Speed), and whatever working memory the model needs. Throws UserError (an arithmetic
  // fault) when the conditions cannot start a run.
  virtual void PrepareRun(Simulation& sim) = 0;

  // Marches zone `zone` from its entry 0 through `steps` printed points, filling entries
  // 1..steps of its profile rows (web temperature, weights, fractions, residual ratios,
  // time), and carries its exit into entry 0 of the next active zone. Throws UserError
  // naming the zone and step of a fault; what was filled before stays.
  virtual void MarchZone(Simulation& sim, std::int32_t zone, std::int32_t steps) = 0;

  // What the user should know of the run just marched (without "Warning: ").
  [[nodiscard]] virtual std::vector<std::string> RunWarnings(const Simulation& sim) const = 0;

  // The check's own run of the conditions (as read: step counts included). Uses nothing of
  // this model's run, so it may be called on another thread while the model marches. A
  // fault of the check is kept in its result, never thrown.
  [[nodiscard]] virtual std::unique_ptr<ModelCheck> MarchCheck(const DryingConditions& c) const = 0;

  // Whether the run's drying slows by the drying-speed correction (Wi, We, Wx, Wy), so that
  // the results derive the correction and the dry point from the profile.
  [[nodiscard]] virtual bool AppliesDryingCorrection() const { return false; }

  // The inside of the coating at entry `step` of zone `zone` of the run just marched; none
  // for a model that treats the coating as well mixed.
  [[nodiscard]] virtual std::optional<CoatingInside> Inside(std::int32_t zone, std::int32_t step) const {
    (void)zone;
    (void)step;
    return std::nullopt;
  }

  // The through-thickness profile at the exit of each zone of the run just marched, zone by
  // zone (the last is the line end); empty for a well-mixed model.
  [[nodiscard]] virtual std::vector<DepthProfile> ExitProfiles() const { return {}; }
};

// The model of this choice. Throws InputError for a name that is no model.
std::unique_ptr<DryingModel> MakeDryingModel(const ModelChoice& choice);

// The lumped model (today's model: one well-mixed coating whose drying slows by the
// drying-speed correction).
std::unique_ptr<DryingModel> MakeLumpedModel(std::int64_t stableSearchSteps = DefaultStableSearchSteps);

// The free-volume diffusion model with these parameters (diffusion_model.h).
std::unique_ptr<DryingModel> MakeDiffusionModel(const DiffusionModelParameters& parameters);

}  // namespace tovimar
