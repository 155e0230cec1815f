#include "study/fit_statistics.h"

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "model/number_text.h"

namespace tovimar {

namespace {

// t(0.975, dof) for dof = 1..30.
constexpr std::array<double, 30> kT975{
    12.7062047, 4.30265273, 3.18244631, 2.77644511, 2.57058184, 2.44691185, 2.36462425,
    2.30600414, 2.26215716, 2.22813885, 2.20098516, 2.17881283, 2.16036866, 2.14478669,
    2.13144955, 2.11990530, 2.10981558, 2.10092204, 2.09302405, 2.08596345, 2.07961384,
    2.07387307, 2.06865761, 2.06389856, 2.05953855, 2.05552944, 2.05183052, 2.04840714,
    2.04522964, 2.04227246};

// The normal distribution's 0.975 quantile.
constexpr double kZ975 = 1.959963984540054;

std::string CorrelationText(double r) { return FixedNumber(r, 3); }

}  // namespace

double StudentT975(std::size_t dof) {
  if (dof == 0) return std::nan("");
  if (dof <= kT975.size()) return kT975[dof - 1];
  const double z = kZ975;
  const double z2 = z * z;
  const double v = static_cast<double>(dof);
  const double g1 = (z2 + 1) * z / 4;
  const double g2 = ((5 * z2 + 16) * z2 + 3) * z / 96;
  const double g3 = (((3 * z2 + 19) * z2 + 17) * z2 - 15) * z / 384;
  const double g4 = ((((79 * z2 + 776) * z2 + 1482) * z2 - 1920) * z2 - 945) * z / 92160;
  return z + g1 / v + g2 / (v * v) + g3 / (v * v * v) + g4 / (v * v * v * v);
}

double DifferenceStepAt(double value) { return DifferenceStep * (value != 0 ? std::abs(value) : 1.0); }

namespace {

// "A", "A and B", "A, B and C".
std::string Listed(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
  }
  return text;
}

// Which parameters the changes `steps` made (`changes`, one column a parameter) resolve
// above `noise`: marks the others in `undetermined` and says why in `warnings`.
void FindUndetermined(const Eigen::MatrixXd& changes, double noise, const FitResult& result,
                      std::vector<bool>& undetermined, std::vector<std::string>& warnings) {
  std::vector<Eigen::Index> kept;
  for (Eigen::Index j = 0; j < changes.cols(); ++j) kept.push_back(j);
  while (!kept.empty()) {
    Eigen::MatrixXd columns(changes.rows(), static_cast<Eigen::Index>(kept.size()));
    for (std::size_t k = 0; k < kept.size(); ++k) columns.col(static_cast<Eigen::Index>(k)) = changes.col(kept[k]);
    Eigen::JacobiSVD<Eigen::MatrixXd> svd(columns, Eigen::ComputeThinV);
    const double largest = svd.singularValues().size() > 0 ? svd.singularValues()[0] : 0.0;
    const Eigen::Index rank = largest > noise ? svd.setThreshold(noise / largest).rank() : 0;
    const auto size = static_cast<Eigen::Index>(kept.size());
    if (rank == size) return;
    // The directions the model does not resolve, and each parameter's share of them.
    const Eigen::MatrixXd unresolved = svd.matrixV().rightCols(size - rank);
    std::vector<Eigen::Index> dropped;
    Eigen::Index most = 0;
    for (Eigen::Index k = 0; k < size; ++k) {
      if (unresolved.row(k).norm() > unresolved.row(most).norm()) most = k;
      if (unresolved.row(k).norm() > UndeterminedShare) dropped.push_back(k);
    }
    if (dropped.empty()) dropped.push_back(most);
    std::vector<std::string> silent, inseparable;
    for (const Eigen::Index k : dropped) {
      const auto j = static_cast<std::size_t>(kept[static_cast<std::size_t>(k)]);
      undetermined[j] = true;
      const std::string& caption = result.values[j].parameter.caption;
      (columns.col(k).norm() <= noise ? silent : inseparable).push_back(caption);
    }
    if (!silent.empty()) {
      warnings.push_back("the measurements do not depend on " + Listed(silent) +
                         " (not beyond the rounding of the model): undetermined");
    }
    if (inseparable.size() == 1) {
      warnings.push_back(inseparable[0] + " cannot be told apart from the other parameters with these "
                         "data: undetermined");
    } else if (!inseparable.empty()) {
      warnings.push_back(Listed(inseparable) + " cannot be told apart from these data: undetermined, "
                         "only a combination of them is known");
    }
    std::vector<Eigen::Index> rest;
    for (Eigen::Index j : kept) {
      if (!undetermined[static_cast<std::size_t>(j)]) rest.push_back(j);
    }
    kept = std::move(rest);
  }
}

}  // namespace

std::optional<std::string> AddFitStatistics(FitResult& result, const MeasuredData& data,
                                            const Eigen::VectorXd& model, const Eigen::MatrixXd& jac) {
  const std::size_t n = data.values.size();
  for (const MeasuredQuantity q : data.columns) {
    QuantityRms rms{q, 0, 0};
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
      if (data.values[i].quantity != q) continue;
      const double d = model[static_cast<Eigen::Index>(i)] - data.values[i].value;
      sum += d * d;
      ++rms.count;
    }
    if (rms.count == 0) continue;
    rms.rms = std::sqrt(sum / static_cast<double>(rms.count));
    if (!std::isfinite(rms.rms)) {
      result.rms.clear();
      return "the residual RMS of " + std::string(MeasuredColumnOf(q).title) + " is not a finite number";
    }
    result.rms.push_back(rms);
  }

  const std::size_t p = result.values.size();
  const auto cols = static_cast<Eigen::Index>(p);
  // The change each difference step made to the weighted differences, and the size of the
  // weighted model values that rounding is measured against.
  Eigen::VectorXd steps(cols);
  for (std::size_t j = 0; j < p; ++j) steps[static_cast<Eigen::Index>(j)] = DifferenceStepAt(result.values[j].value);
  const Eigen::MatrixXd changes = jac * steps.asDiagonal();
  double weightedModel = 0;
  for (std::size_t i = 0; i < n; ++i) {
    weightedModel = std::hypot(weightedModel, model[static_cast<Eigen::Index>(i)] / data.Sd(data.values[i].quantity));
  }
  const double noise = RoundingMargin * std::numeric_limits<double>::epsilon() * weightedModel;
  std::vector<bool> undetermined(p, false);
  FindUndetermined(changes, noise, result, undetermined, result.warnings);

  // (J^T J)^-1 over the determined parameters' columns, from their SVD.
  std::vector<Eigen::Index> kept;
  for (std::size_t j = 0; j < p; ++j) {
    result.values[j].determined = !undetermined[j];
    if (!undetermined[j]) kept.push_back(static_cast<Eigen::Index>(j));
  }
  result.correlation.assign(p * p, std::numeric_limits<double>::quiet_NaN());
  if (kept.empty()) return std::nullopt;
  const auto k = static_cast<Eigen::Index>(kept.size());
  Eigen::MatrixXd columns(jac.rows(), k);
  for (Eigen::Index c = 0; c < k; ++c) columns.col(c) = jac.col(kept[static_cast<std::size_t>(c)]);
  const Eigen::JacobiSVD<Eigen::MatrixXd> svd(columns, Eigen::ComputeThinV);
  const Eigen::MatrixXd inverse =
      svd.matrixV() * svd.singularValues().cwiseInverse().cwiseAbs2().asDiagonal() * svd.matrixV().transpose();
  const auto index = [&](Eigen::Index a, Eigen::Index b) {
    return static_cast<std::size_t>(kept[static_cast<std::size_t>(a)]) * p +
           static_cast<std::size_t>(kept[static_cast<std::size_t>(b)]);
  };
  for (Eigen::Index a = 0; a < k; ++a) {
    result.correlation[index(a, a)] = 1;
    for (Eigen::Index b = a + 1; b < k; ++b) {
      result.correlation[index(a, b)] = result.correlation[index(b, a)] =
          inverse(a, b) / std::sqrt(inverse(a, a) * inverse(b, b));
    }
  }
  for (Eigen::Index a = 0; a < k; ++a) {
    for (Eigen::Index b = a + 1; b < k; ++b) {
      const double r = result.correlation[index(a, b)];
      if (std::abs(r) > IndistinguishableCorrelation) {
        result.warnings.push_back(result.values[static_cast<std::size_t>(kept[static_cast<std::size_t>(a)])].parameter.caption +
                                  " and " +
                                  result.values[static_cast<std::size_t>(kept[static_cast<std::size_t>(b)])].parameter.caption +
                                  " cannot be told apart from these data (correlation " + CorrelationText(r) + ")");
      }
    }
  }
  if (n == p) {
    result.warnings.push_back("as many measurements as parameters: no confidence interval");
    return std::nullopt;
  }
  if (result.weightedSsr == 0) {
    result.warnings.push_back("the model meets every measurement exactly: no scatter to estimate a "
                              "confidence interval from");
    return std::nullopt;
  }
  const double s2 = result.weightedSsr / static_cast<double>(n - p);
  const double t = StudentT975(n - p);
  for (Eigen::Index a = 0; a < k; ++a) {
    FittedValue& value = result.values[static_cast<std::size_t>(kept[static_cast<std::size_t>(a)])];
    const double halfWidth = t * std::sqrt(s2 * inverse(a, a));
    if (!std::isfinite(halfWidth)) {
      for (FittedValue& v : result.values) v.halfWidth.reset();
      return "the 95 % interval of " + value.parameter.name + " is not a finite number";
    }
    if (halfWidth > 0) value.halfWidth = halfWidth;
  }
  return std::nullopt;
}

}  // namespace tovimar
