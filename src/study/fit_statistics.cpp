#include "study/fit_statistics.h"

#include <array>
#include <cmath>

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

void AddFitStatistics(FitResult& result, const MeasuredData& data, const Eigen::VectorXd& model,
                      const Eigen::MatrixXd& jac) {
  for (const MeasuredQuantity q : data.columns) {
    QuantityRms rms{q, 0, 0};
    double sum = 0;
    for (std::size_t i = 0; i < data.values.size(); ++i) {
      if (data.values[i].quantity != q) continue;
      const double d = model[static_cast<Eigen::Index>(i)] - data.values[i].value;
      sum += d * d;
      ++rms.count;
    }
    if (rms.count == 0) continue;
    rms.rms = std::sqrt(sum / static_cast<double>(rms.count));
    result.rms.push_back(rms);
  }

  const auto p = static_cast<Eigen::Index>(result.values.size());
  const std::size_t n = data.values.size();
  const Eigen::MatrixXd jtj = jac.transpose() * jac;
  // Scaled to unit diagonal, so that the rank test does not depend on the parameters' units.
  Eigen::VectorXd scale(p);
  for (Eigen::Index j = 0; j < p; ++j) scale[j] = jtj(j, j) > 0 ? 1 / std::sqrt(jtj(j, j)) : 0;
  const Eigen::MatrixXd scaled = scale.asDiagonal() * jtj * scale.asDiagonal();
  const Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> eigen(scaled);
  const bool determined = scale.minCoeff() > 0 && eigen.info() == Eigen::Success &&
                          eigen.eigenvalues().minCoeff() > 1e-12 * eigen.eigenvalues().maxCoeff();
  if (!determined) {
    result.warnings.push_back("the data do not determine every parameter: no confidence interval");
    return;
  }
  const Eigen::MatrixXd inverse = scale.asDiagonal() * scaled.inverse() * scale.asDiagonal();
  result.correlation.assign(static_cast<std::size_t>(p * p), 0);
  for (Eigen::Index i = 0; i < p; ++i) {
    for (Eigen::Index j = 0; j < p; ++j) {
      result.correlation[static_cast<std::size_t>(i * p + j)] =
          i == j ? 1 : inverse(i, j) / std::sqrt(inverse(i, i) * inverse(j, j));
    }
  }
  for (Eigen::Index i = 0; i < p; ++i) {
    for (Eigen::Index j = i + 1; j < p; ++j) {
      const double r = result.Correlation(static_cast<std::size_t>(i), static_cast<std::size_t>(j));
      if (std::abs(r) > IndistinguishableCorrelation) {
        result.warnings.push_back(result.values[static_cast<std::size_t>(i)].parameter.caption + " and " +
                                  result.values[static_cast<std::size_t>(j)].parameter.caption +
                                  " cannot be told apart from these data (correlation " +
                                  CorrelationText(r) + ")");
      }
    }
  }
  const std::size_t dof = n - static_cast<std::size_t>(p);
  if (dof == 0) {
    result.warnings.push_back("as many measurements as parameters: no confidence interval");
    return;
  }
  const double s2 = result.weightedSsr / static_cast<double>(dof);
  const double t = StudentT975(dof);
  for (Eigen::Index j = 0; j < p; ++j) {
    result.values[static_cast<std::size_t>(j)].halfWidth = t * std::sqrt(s2 * inverse(j, j));
  }
}

}  // namespace tovimar
