// The diffusion kernel: the system of equations on its grid (diffusion_system.h) integrated by
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

#include "model/diffusion_algebra.h"
#include "model/diffusion_system.h"
#include "model/errors.h"

namespace tovimar {

namespace {

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
  DiffusionNumerics numerics;
  diffusion::System system;
  double solidWeight = 0;
  sunindextype size = 0;

  SUNContext context = nullptr;
  N_Vector y = nullptr;
  N_Vector tolerances = nullptr;
  N_Vector trial = nullptr;      // scratch of the band Jacobian
  N_Vector trialRate = nullptr;
  SUNMatrix matrix = nullptr;
  SUNLinearSolver solver = nullptr;
  void* cvode = nullptr;

  double time = 0;
  DiffusionStatistics earlier;  // counted before the last restart of the method
  char integratorMessage[512] = {};

  Impl(const DiffusionInputs& in, const SurfaceThermodynamics& th, const DiffusionStart& st,
       const DiffusionNumerics& nu)
      : numerics(nu), system(in, th, st, nu.cells), solidWeight(in.polymer.SolidWeight),
        size(system.Size()) {}

  ~Impl() {
    CVodeFree(&cvode);
    SUNLinSolFree(solver);
    SUNMatDestroy(matrix);
    N_VDestroy(trialRate);
    N_VDestroy(trial);
    N_VDestroy(tolerances);
    N_VDestroy(y);
    SUNContext_Free(&context);
  }

  static int Rhs(sunrealtype, N_Vector yv, N_Vector rv, void* data) noexcept {
    auto& self = *static_cast<Impl*>(data);
    try {
      return self.system.Evaluate(N_VGetArrayPointer(yv), N_VGetArrayPointer(rv));
    } catch (const std::exception& e) {
      // The thermodynamics refused the surface state (a logarithm of nothing, say).
      self.system.RecordFaultText(e.what());
      return 1;
    } catch (...) {
      return -1;
    }
  }

  static int Jacobian(sunrealtype, N_Vector yv, N_Vector fy, SUNMatrix J, void* data,
                      N_Vector weights, N_Vector, N_Vector) noexcept {
    auto& self = *static_cast<Impl*>(data);
    try {
      CVodeGetErrWeights(self.cvode, weights);
      return self.system.BandJacobian(N_VGetArrayPointer(yv), N_VGetArrayPointer(fy), J,
                                      N_VGetArrayPointer(weights),
                                      N_VGetArrayPointer(self.trial),
                                      N_VGetArrayPointer(self.trialRate));
    } catch (const std::exception& e) {
      self.system.RecordFaultText(e.what());
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

  void Setup() {
    Check(SUNContext_Create(nullptr, &context), "context");
    y = N_VNew_Serial(size, context);
    tolerances = N_VNew_Serial(size, context);
    trial = N_VNew_Serial(size, context);
    trialRate = N_VNew_Serial(size, context);
    if (y == nullptr || tolerances == nullptr || trial == nullptr || trialRate == nullptr) {
      Refuse("no memory for the integrator");
    }
    const sunindextype iT = system.TemperatureIndex();
    const int S = system.PresentSolvents();
    double* tol = N_VGetArrayPointer(tolerances);
    for (sunindextype j = 0; j < iT; ++j) tol[j] = numerics.contentTolerance;
    tol[iT] = numerics.temperatureTolerance;
    for (int s = 0; s < S; ++s) tol[iT + 1 + s] = numerics.contentTolerance * solidWeight;
    system.LoadStart(N_VGetArrayPointer(y));
    diffusion::UseCompiledVectorOperations(y);  // before CVODE clones its vectors from y
    if (numerics.jacobian == DiffusionJacobian::Band) {
      const sunindextype upper = S == 0 ? 0 : 2 * S - 1;
      const sunindextype lower = 2 * S;
      matrix = SUNBandMatrix(size, upper, lower, context);
      solver = SUNLinSol_Band(y, matrix, context);
      if (matrix != nullptr && solver != nullptr) diffusion::UseCompiledBandOperations(matrix, solver);
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

  // The printed point `point` (1-based; 0 before the first) is the step of the error's place.
  [[noreturn]] void Fail(std::int32_t zoneNumber, std::int32_t point, double at,
                         const std::string& cause) const {
    std::string message = "Arithmetic error in zone " + std::to_string(zoneNumber) +
                          ", diffusion model at " + Number(at) + " s: " + cause;
    if (const std::string last = system.LastFault(); !last.empty()) message += "; last: " + last;
    throw ArithmeticError(message, {zoneNumber, point});
  }
};

namespace {

// Refuses parameters that cannot make a run, before anything is allocated for it.
void Validate(const DiffusionInputs& inputs, const DiffusionStart& start,
              const DiffusionNumerics& numerics) {
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
  }
}

}  // namespace

DiffusionKernel::DiffusionKernel(const DiffusionInputs& inputs,
                                 const SurfaceThermodynamics& thermo,
                                 const DiffusionStart& start, const DiffusionNumerics& numerics) {
  Validate(inputs, start, numerics);
  impl_ = std::make_unique<Impl>(inputs, thermo, start, numerics);
  impl_->Setup();
}

DiffusionKernel::~DiffusionKernel() = default;

void DiffusionKernel::Restart() {
  Impl& k = *impl_;
  k.system.LoadStart(N_VGetArrayPointer(k.y));
  k.system.ClearFault();
  k.time = 0;
  k.Reinitialise(0.0, "restart");
}

void DiffusionKernel::MarchZone(std::int32_t zoneNumber, const DiffusionZone& zone,
                                double interval, std::int32_t steps,
                                std::span<DiffusionPoint> points,
                                std::span<DepthPoint> profiles) {
  Impl& k = *impl_;
  const std::size_t nodes = static_cast<std::size_t>(k.system.Cells() + 1);
  if (!profiles.empty() && profiles.size() < nodes * static_cast<std::size_t>(std::max(steps, 0))) {
    throw StepCountError("Zone " + std::to_string(zoneNumber) + " needs room for " +
                             std::to_string(steps) + " profiles of " + std::to_string(nodes) +
                             " nodes.",
                         {zoneNumber, 0});
  }
  if (steps <= 0) return;
  if (static_cast<std::size_t>(steps) > points.size()) {
    throw StepCountError("Zone " + std::to_string(zoneNumber) + " needs " + std::to_string(steps) +
                             " points; room was made for " + std::to_string(points.size()) + ".",
                         {zoneNumber, 0});
  }
  if (!(interval > 0) || !std::isfinite(interval)) {
    k.Fail(zoneNumber, 0, k.time, "the time between printed points is " + Number(interval));
  }
  k.system.SetZone(zone);
  k.system.ClearFault();
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
      k.Fail(zoneNumber, j, reached, cause);
    }
    const DiffusionPoint p = k.system.PointOf(N_VGetArrayPointer(k.y));
    for (const double value : {p.T, p.meanU[0], p.meanU[1], p.surfaceW[0], p.surfaceW[1],
                               p.baseW[0], p.baseW[1], p.evaporated[0], p.evaporated[1]}) {
      if (!std::isfinite(value)) {
        k.Fail(zoneNumber, j, target, "the web's state is not a finite number");
      }
    }
    points[j - 1] = p;
    if (!profiles.empty()) {
      k.system.ProfileOf(N_VGetArrayPointer(k.y), profiles.subspan((j - 1) * nodes, nodes));
    }
  }
  k.time = end;
}

DiffusionPoint DiffusionKernel::Current() const {
  return impl_->system.PointOf(N_VGetArrayPointer(impl_->y));
}

double DiffusionKernel::Time() const { return impl_->time; }

int DiffusionKernel::Nodes() const { return impl_->system.Cells() + 1; }

void DiffusionKernel::Profile(std::span<DepthPoint> out) const {
  impl_->system.ProfileOf(N_VGetArrayPointer(impl_->y), out);
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
