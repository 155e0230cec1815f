#pragma once

#include <Eigen/Dense>

#include <optional>
#include <string>

#include "conditionfile/measured_data.h"
#include "study/fit.h"

namespace tovimar {

// The relative step of the forward differences (a little above sqrt(machine epsilon), so
// that rounding inside the model does not swamp the difference); the step of a parameter
// at `value` is this times |value|, or this itself at 0.
inline constexpr double DifferenceStep = 1e-7;
// The relative step for a parameter of the drying model (see FitProblem::Jacobian).
inline constexpr double ModelDifferenceStep = 1e-3;
double DifferenceStepAt(double value);

// Fills in the statistics of a finished fit from the model's values at the measurements
// (`model`, in the order of data.values) and the Jacobian of the weighted differences at
// the fitted values (`jac`, one row a measurement, one column a parameter, formed with
// DifferenceStepAt), with result.values and result.weightedSsr already set: the residual
// RMS of each quantity; which parameters the data determine; the correlation matrix; the
// 95 % half-widths of the determined ones (covariance s^2 (J^T J)^-1 over their columns with
// s^2 = SSR / (n - p), half-width t(0.975, n - p) sqrt(diag)); and the warnings about
// parameters the data cannot tell apart (|correlation| > 0.95) or do not determine.
//
// The rank test is Eigen's JacobiSVD of the changes the difference steps made (each column
// of `jac` times its step): a direction whose singular value is within RoundingMargin
// roundings (machine epsilon) of the weighted model values' norm is one the model does not
// resolve, and every parameter with a share above UndeterminedShare in such a direction is
// undetermined; the test is repeated on the rest until they have full rank.
// Returns what is not a finite number (a residual RMS, an interval) when something is, and
// then leaves that statistic out; nothing otherwise.
std::optional<std::string> AddFitStatistics(FitResult& result, const MeasuredData& data,
                                            const Eigen::VectorXd& model, const Eigen::MatrixXd& jac);

inline constexpr double RoundingMargin = 1e4;
inline constexpr double UndeterminedShare = 0.01;

// The correlation above which two parameters are said to be indistinguishable.
inline constexpr double IndistinguishableCorrelation = 0.95;

}  // namespace tovimar
