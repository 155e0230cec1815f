// The models behind the seam, by name.
#include "model/drying_model.h"

#include "model/errors.h"
#include "model/diffusion_model.h"
#include "model/lumped_model.h"

namespace tovimar {

std::optional<double> ModelCheckResult::Value(std::string_view name) const {
  for (const CheckValue& v : values) {
    if (v.name == name) {
      return v.value;
    }
  }
  return std::nullopt;
}

const std::vector<CheckQuantity>& CheckQuantities() {
  static const std::vector<CheckQuantity> quantities = [] {
    std::vector<CheckQuantity> all = LumpedCheckQuantities();
    const std::vector<CheckQuantity>& diffusion = DiffusionCheckQuantities();
    all.insert(all.end(), diffusion.begin(), diffusion.end());
    return all;
  }();
  return quantities;
}

std::unique_ptr<DryingModel> MakeDryingModel(const ModelChoice& choice) {
  if (choice.name == LumpedModelName) {
    return MakeLumpedModel(choice.stableSearchSteps);
  }
  if (choice.name == DiffusionModelName) {
    return MakeDiffusionModel(choice.diffusion);
  }
  throw InputError("There is no drying model named \"" + choice.name +
                   "\"; the models are \"lumped\" and \"diffusion\".");
}

}  // namespace tovimar
