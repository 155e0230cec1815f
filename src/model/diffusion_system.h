#pragma once

#include <array>
#include <span>
#include <string>
#include <vector>

#include <sundials/sundials_matrix.h>

#include "model/diffusion_inputs.h"
#include "model/diffusion_physics.h"

// The diffusion kernel's system of equations on its grid: the right-hand side of the method
// of lines, its band Jacobian by difference quotients, and the web's state read from the
// unknowns. The integrator that drives it lives in diffusion_kernel.cpp.
namespace tovimar::diffusion {

class System {
 public:
  // `cells` intervals between cells + 1 nodes; the solvents whose starting content is 0 are
  // absent and have no unknowns.
  System(const DiffusionInputs& inputs, const SurfaceThermodynamics& thermo,
         const DiffusionStart& start, int cells);

  // The unknowns: node by node from the base film (the present solvents' contents), then
  // the temperature (deg C), then the present solvents' evaporated masses (kg/m2).
  [[nodiscard]] long Size() const { return iT_ + 1 + S_; }
  [[nodiscard]] long TemperatureIndex() const { return iT_; }
  [[nodiscard]] int PresentSolvents() const { return S_; }
  [[nodiscard]] int Cells() const { return N_; }

  void LoadStart(double* v) const;
  void SetZone(const DiffusionZone& zone) { zone_ = zone; }

  // The right-hand side; 0 on success, 1 when the state cannot be evaluated (the integrator
  // then retries with a shorter step) with the cause kept for the message.
  int Evaluate(const double* v, double* rate);

  // The band Jacobian (SUNDIALS band storage, its bandwidths as allocated) at v, whose rates
  // are `rate`; `weights` are the integrator's error weights, `trial` and `trialRate`
  // scratch of Size() entries. 0 on success, 1 as Evaluate.
  int BandJacobian(const double* v, const double* rate, SUNMatrix J, const double* weights,
                   double* trial, double* trialRate);

  [[nodiscard]] DiffusionPoint PointOf(const double* v) const;
  void ProfileOf(const double* v, std::span<DepthPoint> out) const;

  // Why the last state could not be evaluated, in words; empty when nothing failed.
  [[nodiscard]] std::string LastFault() const;
  void ClearFault();
  void RecordFaultText(const char* text);

 private:
  [[nodiscard]] std::array<double, 2> Contents(const double* v, int k) const;
  void RecordFault(Fault f, int node);
  void BuildGrid();

  DiffusionInputs inputs_;
  const SurfaceThermodynamics& thermo_;
  DiffusionStart start_;
  Coefficients coef_;
  int N_ = 0;  // cells; the nodes are 0 .. N
  int S_ = 0;  // present solvents: the unknowns of one node
  std::array<int, 2> slot_{-1, -1};
  std::vector<double> m_;               // node positions, kg/m2
  std::vector<double> volume_;          // polymer mass of each node's control volume, kg/m2
  std::vector<double> inverseSpacing_;  // 1 / (m[k+1] - m[k])
  long iT_ = 0;
  DiffusionZone zone_{};
  Fault fault_ = Fault::None;
  double faultHeight_ = 0;
  std::string faultText_;
};

}  // namespace tovimar::diffusion
