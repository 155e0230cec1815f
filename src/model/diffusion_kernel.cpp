// The diffusion kernel: a method-of-lines grid in the polymer-mass coordinate integrated by
// CVODE's BDF method with a band (or dense) direct solver.
#include "model/diffusion_kernel.h"

#include <cvode/cvode.h>
#include <nvector/nvector_serial.h>
#include <sunlinsol/sunlinsol_band.h>
#include <sunlinsol/sunlinsol_dense.h>
#include <sunmatrix/sunmatrix_band.h>
#include <sunmatrix/sunmatrix_dense.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "model/diffusion_physics.h"
#include "model/errors.h"

namespace tovimar {

namespace {

// The largest over the smallest cell: the cells shrink geometrically-smoothly toward the
// surface, by the same mapping for every cell count, so that doubling the cells halves each.
constexpr double GradingRatio = 10;
constexpr long MaxStepsPerReport = 200000;

std::string Number(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
  return std::string(buffer, result.ptr);
}

[[noreturn]] void Refuse(const std::string& what) {
  throw ArithmeticError("Arithmetic error in the diffusion model: " + what);
}

void RequirePositive(double value, const char* what) {
  if (!(value > 0) || !std::isfinite(value)) {
    Refuse(std::string(what) + " is " + Number(value) + "; it must be a positive number");
  }
}

void RequireFinite(double value, const char* what) {
  if (!std::isfinite(value)) {
    Refuse(std::string(what) + " is not a finite number");
  }
}

}  // namespace

struct DiffusionKernel::Impl {
  DiffusionInputs inputs;
  const SurfaceThermodynamics& thermo;
  DiffusionStart start;
  DiffusionNumerics numerics;
  diffusion::Coefficients coef;

  int N = 0;                    // cells; the nodes are 0 .. N
  int S = 0;                    // present solvents: the entries of one node
  std::array<int, 2> slot{-1, -1};
  std::vector<double> m;        // node positions, kg/m2
  std::vector<double> volume;   // polymer mass of each node's control volume, kg/m2
  std::vector<double> inverseSpacing;  // 1 / (m[k+1] - m[k])
  sunindextype size = 0;
  sunindextype iT = 0;          // the temperature's entry; the evaporated masses follow

  SUNContext context = nullptr;
  N_Vector y = nullptr;
  N_Vector tolerances = nullptr;
  SUNMatrix matrix = nullptr;
  SUNLinearSolver solver = nullptr;
  void* cvode = nullptr;

  DiffusionZone zone{};
  double time = 0;
  DiffusionStatistics earlier;  // counted before the last restart of the method

  // The last reason a right-hand side could not be evaluated, for the message of a failure.
  diffusion::Fault fault = diffusion::Fault::None;
  double faultHeight = 0;
  std::string faultText;
  char integratorMessage[512] = {};

  Impl(const DiffusionInputs& in, const SurfaceThermodynamics& th, const DiffusionStart& st,
       const DiffusionNumerics& nu)
      : inputs(in), thermo(th), start(st), numerics(nu) {}

  ~Impl() {
    CVodeFree(&cvode);
    SUNLinSolFree(solver);
    SUNMatDestroy(matrix);
    N_VDestroy(tolerances);
    N_VDestroy(y);
    SUNContext_Free(&context);
  }

  [[nodiscard]] std::array<double, 2> Contents(const double* v, int k) const {
    std::array<double, 2> u{};
    for (int i = 0; i < 2; ++i) {
      if (slot[i] >= 0) u[i] = v[k * S + slot[i]];
    }
    return u;
  }

  void RecordFault(diffusion::Fault f, int node) {
    fault = f;
    faultHeight = m[node] / m[N];
  }

  // The right-hand side; 0 on success, 1 when the state cannot be evaluated (CVODE then
  // retries with a shorter step).
  int Evaluate(const double* v, double* rate) {
    const double T = v[iT];
    const double TK = T + diffusion::KelvinOffset;
    std::array<double, 2> previousFlux{};
    std::array<double, 2> held{};  // sum of volume x content: the solvent per area / Ws
    std::array<double, 2> u = Contents(v, 0);
    for (int k = 0; k < N; ++k) {
      const std::array<double, 2> next = Contents(v, k + 1);
      std::array<double, 2> K{};
      const diffusion::Fault f =
          diffusion::Transport(coef, {0.5 * (u[0] + next[0]), 0.5 * (u[1] + next[1])}, TK, K);
      if (f != diffusion::Fault::None) {
        RecordFault(f, k);
        return 1;
      }
      for (int i = 0; i < 2; ++i) {
        if (slot[i] < 0) continue;
        const double flux = K[i] * (next[i] - u[i]) * inverseSpacing[k];
        rate[k * S + slot[i]] = (flux - previousFlux[i]) / volume[k];
        previousFlux[i] = flux;
        held[i] += volume[k] * u[i];
      }
      u = next;
    }
    const diffusion::Fractions surface = diffusion::FractionsOf(coef, u);
    std::array<double, 2> n{};
    double heatOfEvaporation = 0;
    double heatCapacity = inputs.polymer.SolidWeight * inputs.polymer.SpecificHeat +
                          inputs.polymer.BaseFilmWeight * inputs.polymer.BaseFilmSpecificHeat;
    for (int i = 0; i < 2; ++i) {
      if (slot[i] < 0) continue;
      n[i] = diffusion::EvaporationFlux(coef, thermo, zone, i, surface, T);
      rate[N * S + slot[i]] = (-n[i] - previousFlux[i]) / volume[N];
      held[i] += volume[N] * u[i];
      heatOfEvaporation += inputs.solvent[i].HeatOfVaporization * n[i];
      heatCapacity += held[i] * inputs.solvent[i].SpecificHeat;
      rate[iT + 1 + slot[i]] = n[i];
    }
    rate[iT] = (zone.HeatCoef * (zone.AirTemp - T) - heatOfEvaporation) / heatCapacity;
    if (!std::isfinite(rate[iT]) || !std::isfinite(n[0]) || !std::isfinite(n[1])) {
      RecordFault(diffusion::Fault::NonFinite, N);
      return 1;
    }
    return 0;
  }

  static int Rhs(sunrealtype, N_Vector yv, N_Vector rv, void* data) noexcept {
    auto& self = *static_cast<Impl*>(data);
    try {
      return self.Evaluate(N_VGetArrayPointer(yv), N_VGetArrayPointer(rv));
    } catch (const std::exception& e) {
      // The thermodynamics refused the surface state (a logarithm of nothing, say).
      try {
        self.faultText = e.what();
      } catch (...) {
      }
      return 1;
    } catch (...) {
      return -1;
    }
  }

  // The band Jacobian by difference quotients. The contents are perturbed in groups of
  // columns a band apart, the temperature on its own: perturbing it with the contents (as a
  // plain band quotient would) lets every interior node's dependence on the temperature,
  // which lies outside the band, corrupt the entries inside it, and the Newton iteration then
  // accepts wrong steps. What lies outside the band is left out.
  int BandJacobian(const double* v, const double* rate, SUNMatrix J, N_Vector work,
                   N_Vector perturbedRate, N_Vector weights) {
    SUNMatZero(J);
    CVodeGetErrWeights(cvode, weights);
    const double* w = N_VGetArrayPointer(weights);
    double* trial = N_VGetArrayPointer(work);
    double* trialRate = N_VGetArrayPointer(perturbedRate);
    const sunindextype upper = SUNBandMatrix_UpperBandwidth(J);
    const sunindextype lower = SUNBandMatrix_LowerBandwidth(J);
    const double root = std::sqrt(UNIT_ROUNDOFF);
    for (sunindextype j = 0; j < size; ++j) trial[j] = v[j];
    auto increment = [&](sunindextype j) { return root * std::max(std::abs(v[j]), 1 / w[j]); };
    auto store = [&](sunindextype j, double inc) {
      sunrealtype* column = SUNBandMatrix_Column(J, j);
      const sunindextype first = std::max<sunindextype>(0, j - upper);
      const sunindextype last = std::min<sunindextype>(size - 1, j + lower);
      for (sunindextype i = first; i <= last; ++i) {
        SM_COLUMN_ELEMENT_B(column, i, j) = (trialRate[i] - rate[i]) / inc;
      }
    };
    const sunindextype width = upper + lower + 1;
    for (sunindextype group = 0; group < std::min(width, iT); ++group) {
      for (sunindextype j = group; j < iT; j += width) trial[j] = v[j] + increment(j);
      if (Evaluate(trial, trialRate) != 0) return 1;
      for (sunindextype j = group; j < iT; j += width) {
        store(j, trial[j] - v[j]);
        trial[j] = v[j];
      }
    }
    const double inc = increment(iT);
    trial[iT] = v[iT] + inc;
    if (Evaluate(trial, trialRate) != 0) return 1;
    store(iT, inc);
    // The interior rows of the temperature's column lie outside the band. Dropped, they would
    // let every Newton correction of the temperature move solvent between the coating and the
    // evaporated masses. The coating's whole response is the surface flux's (the fluxes
    // between nodes cancel): what the kept rows do not carry of it goes to the surface node,
    // so that the iteration keeps the solvent's balance exactly.
    const sunindextype first = std::max<sunindextype>(0, iT - upper);
    sunrealtype* column = SUNBandMatrix_Column(J, iT);
    for (int i = 0; i < 2; ++i) {
      if (slot[i] < 0) continue;
      const sunindextype evaporated = iT + 1 + slot[i];
      double missing = -SM_COLUMN_ELEMENT_B(column, evaporated, iT);
      for (int k = 0; k <= N; ++k) {
        const sunindextype row = k * S + slot[i];
        if (row >= first) missing -= volume[k] * SM_COLUMN_ELEMENT_B(column, row, iT);
      }
      SM_COLUMN_ELEMENT_B(column, N * S + slot[i], iT) += missing / volume[N];
    }
    return 0;  // nothing depends on the evaporated masses: their columns stay 0
  }

  static int Jacobian(sunrealtype, N_Vector yv, N_Vector fy, SUNMatrix J, void* data,
                      N_Vector tmp1, N_Vector tmp2, N_Vector tmp3) noexcept {
    auto& self = *static_cast<Impl*>(data);
    try {
      return self.BandJacobian(N_VGetArrayPointer(yv), N_VGetArrayPointer(fy), J, tmp1, tmp2,
                               tmp3);
    } catch (const std::exception& e) {
      try {
        self.faultText = e.what();
      } catch (...) {
      }
      return 1;
    } catch (...) {
      return -1;
    }
  }

  static void Silence(int, const char*, const char*, char* message, void* data) noexcept {
    auto& self = *static_cast<Impl*>(data);
    std::snprintf(self.integratorMessage, sizeof self.integratorMessage, "%s", message);
  }

  void Check(int flag, const char* what) const {
    if (flag < 0) {
      Refuse(std::string("the integrator could not be set up (") + what + ")");
    }
  }

  void BuildGrid() {
    m.resize(N + 1);
    const double s = std::log(GradingRatio);
    const double Ws = inputs.polymer.SolidWeight;
    for (int k = 0; k <= N; ++k) {
      const double xi = static_cast<double>(k) / N;
      m[k] = k == N ? Ws : Ws * (1 - std::exp(-s * xi)) / (1 - std::exp(-s));
    }
    inverseSpacing.resize(N);
    volume.assign(N + 1, 0.0);
    for (int k = 0; k < N; ++k) {
      const double h = m[k + 1] - m[k];
      inverseSpacing[k] = 1 / h;
      volume[k] += 0.5 * h;
      volume[k + 1] += 0.5 * h;
    }
  }

  void LoadStart() {
    double* v = N_VGetArrayPointer(y);
    for (int k = 0; k <= N; ++k) {
      for (int i = 0; i < 2; ++i) {
        if (slot[i] >= 0) v[k * S + slot[i]] = start.u[i];
      }
    }
    v[iT] = start.T;
    for (int s = 0; s < S; ++s) v[iT + 1 + s] = 0;
    time = 0;
  }

  void Setup() {
    Check(SUNContext_Create(nullptr, &context), "context");
    y = N_VNew_Serial(size, context);
    tolerances = N_VNew_Serial(size, context);
    if (y == nullptr || tolerances == nullptr) Refuse("no memory for the integrator");
    double* tol = N_VGetArrayPointer(tolerances);
    for (sunindextype j = 0; j < iT; ++j) tol[j] = numerics.contentTolerance;
    tol[iT] = numerics.temperatureTolerance;
    for (int s = 0; s < S; ++s) {
      tol[iT + 1 + s] = numerics.contentTolerance * inputs.polymer.SolidWeight;
    }
    LoadStart();
    if (numerics.jacobian == DiffusionJacobian::Band) {
      const sunindextype upper = S == 0 ? 0 : 2 * S - 1;
      const sunindextype lower = 2 * S;
      matrix = SUNBandMatrix(size, upper, lower, context);
      solver = SUNLinSol_Band(y, matrix, context);
    } else {
      matrix = SUNDenseMatrix(size, size, context);
      solver = SUNLinSol_Dense(y, matrix, context);
    }
    cvode = CVodeCreate(CV_BDF, context);
    if (matrix == nullptr || solver == nullptr || cvode == nullptr) {
      Refuse("no memory for the integrator");
    }
    Check(CVodeInit(cvode, &Impl::Rhs, 0.0, y), "init");
    Check(CVodeSetUserData(cvode, this), "user data");
    Check(CVodeSetErrHandlerFn(cvode, &Impl::Silence, this), "messages");
    Check(CVodeSVtolerances(cvode, numerics.relativeTolerance, tolerances), "tolerances");
    Check(CVodeSetLinearSolver(cvode, solver, matrix), "linear solver");
    Check(CVodeSetMaxNumSteps(cvode, MaxStepsPerReport), "step limit");
    if (numerics.jacobian == DiffusionJacobian::Band) {
      Check(CVodeSetJacFn(cvode, &Impl::Jacobian), "Jacobian");
    }
  }

  // The counters since the last (re)start of the method, which a restart zeroes.
  [[nodiscard]] DiffusionStatistics Counted() const {
    DiffusionStatistics s;
    long jacobianRhs = 0;
    CVodeGetNumSteps(cvode, &s.steps);
    CVodeGetNumRhsEvals(cvode, &s.rhsEvaluations);
    CVodeGetNumLinRhsEvals(cvode, &jacobianRhs);
    s.rhsEvaluations += jacobianRhs;
    CVodeGetNumJacEvals(cvode, &s.jacobianEvaluations);
    CVodeGetNumNonlinSolvIters(cvode, &s.newtonIterations);
    CVodeGetNumNonlinSolvConvFails(cvode, &s.newtonFailures);
    CVodeGetNumErrTestFails(cvode, &s.errorTestFailures);
    return s;
  }

  void Reinitialise(double t0, const char* what) {
    const DiffusionStatistics s = Counted();
    earlier.steps += s.steps;
    earlier.rhsEvaluations += s.rhsEvaluations;
    earlier.jacobianEvaluations += s.jacobianEvaluations;
    earlier.newtonIterations += s.newtonIterations;
    earlier.newtonFailures += s.newtonFailures;
    earlier.errorTestFailures += s.errorTestFailures;
    Check(CVodeReInit(cvode, t0, y), what);
  }

  [[nodiscard]] DiffusionPoint PointOf(const double* v) const {
    DiffusionPoint p;
    p.T = v[iT];
    const diffusion::Fractions base = diffusion::FractionsOf(coef, Contents(v, 0));
    const diffusion::Fractions top = diffusion::FractionsOf(coef, Contents(v, N));
    for (int i = 0; i < 2; ++i) {
      p.baseW[i] = base.w[i];
      p.surfaceW[i] = top.w[i];
      if (slot[i] < 0) continue;
      double held = 0;
      for (int k = 0; k <= N; ++k) held += volume[k] * v[k * S + slot[i]];
      p.meanU[i] = held / inputs.polymer.SolidWeight;
      p.evaporated[i] = v[iT + 1 + slot[i]];
    }
    return p;
  }

  [[noreturn]] void Fail(std::int32_t zoneNumber, double at, const std::string& cause) const {
    std::string message = "Arithmetic error in zone " + std::to_string(zoneNumber) +
                          ", diffusion model at " + Number(at) + " s: " + cause;
    if (!faultText.empty()) {
      message += "; last: " + faultText;
    } else if (fault != diffusion::Fault::None) {
      message += std::string("; last: ") + diffusion::Describe(fault) + " at height " +
                 Number(faultHeight) + " of the coating";
    }
    throw ArithmeticError(message, {zoneNumber, 0});
  }
};

DiffusionKernel::DiffusionKernel(const DiffusionInputs& inputs,
                                 const SurfaceThermodynamics& thermo,
                                 const DiffusionStart& start, const DiffusionNumerics& numerics)
    : impl_(std::make_unique<Impl>(inputs, thermo, start, numerics)) {
  Impl& k = *impl_;
  if (numerics.cells < MinDiffusionCells || numerics.cells > MaxDiffusionCells) {
    throw InputError("DiffusionCells is " + std::to_string(numerics.cells) +
                         "; the diffusion model takes " + std::to_string(MinDiffusionCells) +
                         " to " + std::to_string(MaxDiffusionCells) + " cells.",
                     "DiffusionCells");
  }
  RequirePositive(numerics.relativeTolerance, "the relative tolerance");
  RequirePositive(numerics.contentTolerance, "the content tolerance");
  RequirePositive(numerics.temperatureTolerance, "the temperature tolerance");
  const DiffusionPolymer& p = inputs.polymer;
  RequirePositive(p.SolidWeight, "the solid weight Ws");
  RequirePositive(p.SpecificVolume, "the polymer's specific volume");
  RequireFinite(p.HoleVolume, "HoleVolumePolymer");
  RequireFinite(p.K1Gamma, "K1GammaPolymer");
  RequireFinite(p.K2MinusTg, "K2MinusTgPolymer");
  RequireFinite(p.SpecificHeat, "the polymer's specific heat");
  RequireFinite(p.BaseFilmWeight, "the base film weight");
  RequireFinite(p.BaseFilmSpecificHeat, "the base film's specific heat");
  RequireFinite(start.T, "the initial temperature");
  static constexpr const char* names[2][8] = {
      {"the initial content of solvent-1", "D0_1", "ActivationEnergy1", "HoleVolume1", "K1Gamma1",
       "K2MinusTg1", "Xi1", "solvent-1's specific volume"},
      {"the initial content of solvent-2", "D0_2", "ActivationEnergy2", "HoleVolume2", "K1Gamma2",
       "K2MinusTg2", "Xi2", "solvent-2's specific volume"}};
  for (int i = 0; i < 2; ++i) {
    const DiffusionSolvent& s = inputs.solvent[i];
    RequireFinite(start.u[i], names[i][0]);
    if (start.u[i] < 0) Refuse(std::string(names[i][0]) + " is negative");
    if (start.u[i] == 0) continue;  // absent: none of its parameters is used
    RequirePositive(s.D0, names[i][1]);
    RequireFinite(s.ActivationEnergy, names[i][2]);
    RequireFinite(s.HoleVolume, names[i][3]);
    RequireFinite(s.K1Gamma, names[i][4]);
    RequireFinite(s.K2MinusTg, names[i][5]);
    RequirePositive(s.Xi, names[i][6]);
    RequirePositive(s.SpecificVolume, names[i][7]);
    RequirePositive(s.MolarMass, i == 0 ? "solvent-1's molecular weight" : "solvent-2's molecular weight");
    RequireFinite(s.ChiP, i == 0 ? "Chi1p" : "Chi2p");
    RequireFinite(s.HeatOfVaporization, "a heat of vaporization");
    RequireFinite(s.SpecificHeat, "a solvent's specific heat");
    k.slot[i] = k.S++;
  }
  k.coef = diffusion::Prepare(inputs, start);
  k.N = numerics.cells;
  k.iT = static_cast<sunindextype>(k.N + 1) * k.S;
  k.size = k.iT + 1 + k.S;
  k.BuildGrid();
  k.Setup();
}

DiffusionKernel::~DiffusionKernel() = default;

void DiffusionKernel::Restart() {
  Impl& k = *impl_;
  k.LoadStart();
  k.fault = diffusion::Fault::None;
  k.faultText.clear();
  k.Reinitialise(0.0, "restart");
}

void DiffusionKernel::MarchZone(std::int32_t zoneNumber, const DiffusionZone& zone,
                                double interval, std::int32_t steps,
                                std::span<DiffusionPoint> points) {
  Impl& k = *impl_;
  if (steps <= 0) return;
  if (static_cast<std::size_t>(steps) > points.size()) {
    throw StepCountError("Zone " + std::to_string(zoneNumber) + " needs " + std::to_string(steps) +
                             " points; room was made for " + std::to_string(points.size()) + ".",
                         {zoneNumber, 0});
  }
  if (!(interval > 0) || !std::isfinite(interval)) {
    k.Fail(zoneNumber, k.time, "the time between printed points is " + Number(interval));
  }
  k.zone = zone;
  k.fault = diffusion::Fault::None;
  k.faultText.clear();
  const double t0 = k.time;
  const double end = t0 + steps * interval;
  // The zone's air differs from the last one's: the method starts afresh at its entrance and
  // never steps past its exit.
  k.Reinitialise(t0, "zone entrance");
  k.Check(CVodeSetStopTime(k.cvode, end), "zone exit");
  for (std::int32_t j = 1; j <= steps; ++j) {
    const double target = j == steps ? end : t0 + j * interval;
    sunrealtype reached = 0;
    const int flag = CVode(k.cvode, target, k.y, &reached, CV_NORMAL);
    if (flag < 0) {
      char* name = CVodeGetReturnFlagName(flag);
      const std::string cause = std::string("the integration failed (") + name + ": " +
                                k.integratorMessage + ")";
      std::free(name);
      k.Fail(zoneNumber, reached, cause);
    }
    const DiffusionPoint p = k.PointOf(N_VGetArrayPointer(k.y));
    for (const double value : {p.T, p.meanU[0], p.meanU[1], p.surfaceW[0], p.surfaceW[1],
                               p.baseW[0], p.baseW[1], p.evaporated[0], p.evaporated[1]}) {
      if (!std::isfinite(value)) {
        k.Fail(zoneNumber, target, "the web's state is not a finite number");
      }
    }
    points[j - 1] = p;
  }
  k.time = end;
}

DiffusionPoint DiffusionKernel::Current() const {
  return impl_->PointOf(N_VGetArrayPointer(impl_->y));
}

double DiffusionKernel::Time() const { return impl_->time; }

int DiffusionKernel::Nodes() const { return impl_->N + 1; }

void DiffusionKernel::Profile(std::span<DepthPoint> out) const {
  const Impl& k = *impl_;
  const double* v = N_VGetArrayPointer(k.y);
  const int nodes = std::min(static_cast<int>(out.size()), k.N + 1);
  // Height: the coating's volume below each node, the specific volume integrated over the
  // polymer mass by the trapezoidal rule.
  double height = 0;
  double previousVolume = 0;
  for (int j = 0; j <= k.N; ++j) {
    const diffusion::Fractions f = diffusion::FractionsOf(k.coef, k.Contents(v, j));
    if (j > 0) height += 0.5 * (previousVolume + f.specificVolume) * (k.m[j] - k.m[j - 1]);
    previousVolume = f.specificVolume;
    if (j < nodes) out[j] = {height, f.w};
  }
  for (int j = 0; j < nodes; ++j) out[j].height /= height;
}

DiffusionStatistics DiffusionKernel::Statistics() const {
  DiffusionStatistics s = impl_->Counted();
  s.steps += impl_->earlier.steps;
  s.rhsEvaluations += impl_->earlier.rhsEvaluations;
  s.jacobianEvaluations += impl_->earlier.jacobianEvaluations;
  s.newtonIterations += impl_->earlier.newtonIterations;
  s.newtonFailures += impl_->earlier.newtonFailures;
  s.errorTestFailures += impl_->earlier.errorTestFailures;
  return s;
}

}  // namespace tovimar
