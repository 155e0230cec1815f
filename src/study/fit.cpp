#include "study/fit.h"

#include <Eigen/Dense>
#include <unsupported/Eigen/LevenbergMarquardt>

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>

#include "conditionfile/line_file.h"
#include "format/csv.h"
#include "input/field_catalogue.h"
#include "input/line_catalogue.h"
#include "input/number_parse.h"
#include "model/model.h"
#include "run/run_sequence.h"
#include "study/fit_statistics.h"

namespace tovimar {

namespace {

// The residual every component of a rejected step gets: far above any real misfit, so the
// solver's trust region shrinks and it tries a shorter step.
constexpr double RejectedResidual = 1e100;

double PointValueOf(const ProfilePoint& p, MeasuredQuantity q) {
  switch (q) {
    case MeasuredQuantity::WebTemp: return p.temp;
    case MeasuredQuantity::Residual1: return p.residual1;
    case MeasuredQuantity::Residual2: return p.residual2;
    case MeasuredQuantity::Weight1: return p.weight1;
    case MeasuredQuantity::Weight2: return p.weight2;
  }
  return 0;
}

// The runs of one fit: every trial value set by value over the base entries and run in one
// Simulation, the weighted differences formed, the best point kept.
class FitProblem {
 public:
  // Every parameter names a condition field (ParseFitParameter made it so).
  FitProblem(const MapEntryTexts& base, const std::vector<FitParameter>& parameters,
             const MeasuredData& data, const FitOptions& options)
      : entries_(base), parameters_(parameters), data_(data), options_(options),
        sim_(std::make_unique<Simulation>()) {
    run_.writeResultFile = false;
    run_.model = options.line.Model;
    line_ = options.line;
    for (const FitParameter& p : parameters) {
      fields_.push_back(FindField(p.entryName));
      modelSettings_.push_back(FindModelParameter(p.name));
    }
  }

  // Runs the model at `x`; false (with the reason in lastFailure) when the run stops, a
  // value lies beyond a bound, or a measurement lies outside the run's line.
  bool Evaluate(const Eigen::VectorXd& x, Eigen::VectorXd& residuals, Eigen::VectorXd* model = nullptr) {
    for (std::size_t j = 0; j < parameters_.size(); ++j) {
      const FitParameter& p = parameters_[j];
      const double v = x[static_cast<Eigen::Index>(j)];
      if (!std::isfinite(v) || (p.lower && v < *p.lower) || (p.upper && v > *p.upper)) {
        lastFailure = p.name + " = " + (std::isfinite(v) ? ShortestNumberText(v) : "non-finite") +
                      " lies beyond its bounds";
        return false;
      }
      if (fields_[j] != nullptr) {
        run_.overrides.Set(*fields_[j], v);
      } else {
        try {
          SetLineSetting(line_, *modelSettings_[j], v);
        } catch (const LineSettingError&) {
          lastFailure = p.name + " = " + ShortestNumberText(v) + " lies beyond the range the model takes";
          return false;
        }
      }
    }
    run_.model = line_.Model;
    ++runs;
    const RunOutcome outcome = RunSimulation(*sim_, entries_, run_);
    if (!outcome.completed()) {
      ++rejectedRuns;
      lastFailure = outcome.message.empty() ? std::string(RunStatusText(outcome.status)) : outcome.message;
      return false;
    }
    LineProfile profile;
    try {
      profile = ProfileAlongLine(*sim_);
    } catch (const std::exception& e) {
      ++rejectedRuns;
      lastFailure = e.what();
      return false;
    }
    residuals.resize(static_cast<Eigen::Index>(data_.values.size()));
    if (model != nullptr) model->resize(residuals.size());
    for (std::size_t i = 0; i < data_.values.size(); ++i) {
      const Measurement& m = data_.values[i];
      const std::optional<double> v = ModelValueAt(profile, m.quantity, m.position);
      if (!v) {
        ++rejectedRuns;
        lastFailure = "the measurement at " + ShortestNumberText(m.position) + " m (line " +
                      std::to_string(m.line) + ") lies beyond the end of the line (" +
                      ShortestNumberText(profile.points.back().position) + " m)";
        return false;
      }
      residuals[static_cast<Eigen::Index>(i)] = (*v - m.value) / data_.Sd(m.quantity);
      if (model != nullptr) (*model)[static_cast<Eigen::Index>(i)] = *v;
    }
    const double ssr = residuals.squaredNorm();
    if (!best_ || ssr < bestSsr_) {
      best_ = x;
      bestSsr_ = ssr;
      if (options_.progress) {
        const FitProgress progress{runs, ssr, std::vector<double>(x.data(), x.data() + x.size())};
        if (!options_.progress(progress)) stopped = true;
      }
    }
    return true;
  }

  // Forward differences (backward where the forward value is beyond the upper bound or its
  // run stops); false when neither side can be run.
  bool Jacobian(const Eigen::VectorXd& x, const Eigen::VectorXd& at, Eigen::MatrixXd& jac) {
    jac.resize(at.size(), x.size());
    Eigen::VectorXd shifted;
    Eigen::VectorXd r;
    for (Eigen::Index j = 0; j < x.size(); ++j) {
      const FitParameter& p = parameters_[static_cast<std::size_t>(j)];
      // A model parameter moves a run whose integrator controls its error to about 1e-4
      // relative: a step of 1e-7 would measure that control's noise, not the derivative.
      const double h = p.entryName.empty() ? ModelDifferenceStep * (x[j] != 0 ? std::abs(x[j]) : 1.0)
                                           : DifferenceStepAt(x[j]);
      bool done = false;
      for (const double sign : {1.0, -1.0}) {
        shifted = x;
        shifted[j] = x[j] + sign * h;
        if (sign > 0 && p.upper && shifted[j] > *p.upper) continue;
        if (Evaluate(shifted, r)) {
          jac.col(j) = (r - at) / (shifted[j] - x[j]);
          done = true;
          break;
        }
      }
      if (!done) {
        lastFailure = "the derivative by " + p.name + " cannot be formed: " + lastFailure;
        return false;
      }
    }
    return true;
  }

  std::size_t runs = 0;
  std::size_t rejectedRuns = 0;
  bool stopped = false;
  std::string lastFailure;

 private:
  const MapEntryTexts& entries_;
  const std::vector<FitParameter>& parameters_;
  std::vector<const ConditionField*> fields_;  // of each parameter
  std::vector<const LineSetting*> modelSettings_;  // of each parameter of the drying model
  LineSettings line_;  // holds the drying model's trial values
  RunOptions run_;
  const MeasuredData& data_;
  const FitOptions& options_;
  std::unique_ptr<Simulation> sim_;
  std::optional<Eigen::VectorXd> best_;
  double bestSsr_ = 0;
};

// The solver's view of the problem.
struct LmFunctor : Eigen::DenseFunctor<double> {
  LmFunctor(FitProblem& problem, int inputs, int values)
      : Eigen::DenseFunctor<double>(inputs, values), problem_(problem) {}

  int operator()(const InputType& x, ValueType& fvec) {
    if (problem_.stopped || problem_.runs >= maxRuns) return -1;
    if (!problem_.Evaluate(x, fvec)) {
      fvec.setConstant(values(), RejectedResidual);
    }
    return problem_.stopped ? -1 : 0;
  }

  int df(const InputType& x, JacobianType& fjac) {
    if (problem_.stopped || problem_.runs >= maxRuns) return -1;
    ValueType at;
    if (!problem_.Evaluate(x, at) || !problem_.Jacobian(x, at, fjac)) {
      jacobianFailed = true;
      return -1;
    }
    return problem_.stopped ? -1 : 0;
  }

  FitProblem& problem_;
  std::size_t maxRuns = 0;
  bool jacobianFailed = false;
};

FitResult Refuse(std::string message) {
  FitResult result;
  result.status = FitStatus::Refused;
  result.message = std::move(message);
  return result;
}

}  // namespace

std::optional<double> ModelValueAt(const LineProfile& profile, MeasuredQuantity quantity,
                                   double position) {
  const std::vector<ProfilePoint>& pts = profile.points;
  if (pts.empty() || !(position >= pts.front().position) || position > pts.back().position) {
    return std::nullopt;
  }
  auto after = std::upper_bound(pts.begin(), pts.end(), position,
                                [](double x, const ProfilePoint& p) { return x < p.position; });
  if (after == pts.end()) return PointValueOf(pts.back(), quantity);
  const ProfilePoint& b = *after;
  const ProfilePoint& a = *(after - 1);
  const double va = PointValueOf(a, quantity);
  const double t = (position - a.position) / (b.position - a.position);
  return va + t * (PointValueOf(b, quantity) - va);
}

// A parameter's value before the fit: its condition entry's, or the line settings' model's.
std::optional<double> StartOf(const FitParameter& parameter, const MapEntryTexts& base, const LineSettings& line) {
  if (!parameter.entryName.empty()) return ParseNumber(base.Text(parameter.entryName));
  const LineSetting* setting = FindModelParameter(parameter.name);
  return setting != nullptr ? setting->Number(line) : std::nullopt;
}

FitResult FitToMeasurements(const MapEntryTexts& base, const std::vector<FitParameter>& parameters,
                            const MeasuredData& data, const FitOptions& options) {
  if (parameters.empty()) return Refuse("no parameter to fit");
  const std::size_t p = parameters.size();
  const std::size_t n = data.values.size();
  Eigen::VectorXd x(static_cast<Eigen::Index>(p));
  for (std::size_t j = 0; j < p; ++j) {
    for (std::size_t k = 0; k < j; ++k) {
      const bool model = parameters[j].entryName.empty();
      if (model ? parameters[k].name == parameters[j].name : parameters[k].entryName == parameters[j].entryName) {
        return Refuse(parameters[j].name + " is fitted twice");
      }
    }
    const std::optional<double> start = StartOf(parameters[j], base, options.line);
    const std::string text = start ? ShortestNumberText(*start) : base.Text(parameters[j].entryName);
    if (parameters[j].entryName.empty() && FindModelParameter(parameters[j].name) == nullptr) {
      return Refuse(parameters[j].name + " names no condition or model parameter");
    }
    if (!parameters[j].entryName.empty() && FindField(parameters[j].entryName) == nullptr) {
      return Refuse(parameters[j].name + " names no condition (" + parameters[j].entryName + ")");
    }
    if (!start) return Refuse(parameters[j].name + ": the starting value \"" + text + "\" is not a number");
    if ((parameters[j].lower && *start < *parameters[j].lower) ||
        (parameters[j].upper && *start > *parameters[j].upper)) {
      return Refuse(parameters[j].name + ": the starting value " + text + " lies beyond its bounds");
    }
    x[static_cast<Eigen::Index>(j)] = *start;
  }
  if (n < p) {
    return Refuse(std::to_string(n) + " measurements cannot determine " + std::to_string(p) + " parameters");
  }

  FitProblem problem(base, parameters, data, options);
  Eigen::VectorXd residuals;
  if (!problem.Evaluate(x, residuals)) {
    FitResult refused = Refuse("the run at the starting values failed: " + problem.lastFailure);
    refused.runs = problem.runs;
    refused.rejectedRuns = problem.rejectedRuns;
    return refused;
  }

  LmFunctor functor(problem, static_cast<int>(p), static_cast<int>(n));
  functor.maxRuns = options.maxRuns;
  Eigen::LevenbergMarquardt<LmFunctor> lm(functor);
  lm.setXtol(1e-10);
  lm.setFtol(1e-10);
  lm.setGtol(0);
  lm.setMaxfev(static_cast<Eigen::Index>(options.maxRuns));
  const Eigen::LevenbergMarquardtSpace::Status status = lm.minimize(x);

  FitResult result;
  using S = Eigen::LevenbergMarquardtSpace::Status;
  const bool converged = status == S::RelativeReductionTooSmall || status == S::RelativeErrorTooSmall ||
                         status == S::RelativeErrorAndReductionTooSmall || status == S::CosinusTooSmall ||
                         status == S::FtolTooSmall || status == S::XtolTooSmall || status == S::GtolTooSmall;
  result.status = converged ? FitStatus::Converged : FitStatus::NotConverged;
  if (!converged) {
    result.message = problem.stopped ? "the fit was stopped"
                     : functor.jacobianFailed ? problem.lastFailure
                     : problem.runs >= options.maxRuns
                         ? "no convergence within " + std::to_string(options.maxRuns) + " runs"
                         : "the solver could not go on (status " + std::to_string(static_cast<int>(status)) + ")";
  }

  // The statistics at the solver's point: its residuals, and the Jacobian formed afresh.
  Eigen::VectorXd model;
  Eigen::MatrixXd jac;
  const bool atOptimum = problem.Evaluate(x, residuals, &model) && problem.Jacobian(x, residuals, jac);
  result.runs = problem.runs;
  result.rejectedRuns = problem.rejectedRuns;
  result.measurements = n;
  for (std::size_t j = 0; j < p; ++j) {
    FittedValue v;
    v.parameter = parameters[j];
    v.start = *StartOf(parameters[j], base, options.line);
    v.value = x[static_cast<Eigen::Index>(j)];
    result.values.push_back(std::move(v));
  }
  if (!atOptimum) {
    result.status = FitStatus::NotConverged;
    result.message = "the model cannot be run at the fitted values: " + problem.lastFailure;
    return result;
  }
  result.weightedSsr = residuals.squaredNorm();
  // Whatever is not a finite number makes the fit one that did not converge.
  std::optional<std::string> nonFinite;
  if (!model.allFinite() || !residuals.allFinite() || !std::isfinite(result.weightedSsr)) {
    nonFinite = "the weighted sum of squares at the fitted values is not a finite number";
  } else if (!jac.allFinite()) {
    nonFinite = "the derivatives at the fitted values are not finite numbers";
  } else {
    nonFinite = AddFitStatistics(result, data, model, jac);
  }
  if (nonFinite) {
    result.status = FitStatus::NotConverged;
    result.message = *nonFinite;
  }
  return result;
}

}  // namespace tovimar
