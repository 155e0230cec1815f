#pragma once

#include <Eigen/Dense>

#include "conditionfile/measured_data.h"
#include "study/fit.h"

namespace tovimar {

// Fills in the statistics of a finished fit from the model's values at the measurements
// (`model`, in the order of data.values) and the Jacobian of the weighted differences at
// the fitted values (`jac`, one row a measurement, one column a parameter), with
// result.values and result.weightedSsr already set: the residual RMS of each quantity, the
// correlation matrix, the 95 % half-widths (covariance s^2 (J^T J)^-1 with
// s^2 = SSR / (n - p), half-width t(0.975, n - p) sqrt(diag)) and the warnings about
// parameters the data cannot tell apart (|correlation| > 0.95) or do not determine.
void AddFitStatistics(FitResult& result, const MeasuredData& data, const Eigen::VectorXd& model,
                      const Eigen::MatrixXd& jac);

// The correlation above which two parameters are said to be indistinguishable.
inline constexpr double IndistinguishableCorrelation = 0.95;

}  // namespace tovimar
