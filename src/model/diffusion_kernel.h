#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "model/diffusion_inputs.h"

// The free-volume diffusion kernel: the coating's two solvent contents through its thickness
// and the web temperature, integrated by SUNDIALS CVODE (BDF) over a method-of-lines grid.
//
// In the polymer-mass coordinate m (0 at the base film, Ws at the surface), u_i being the
// mass of solvent i per mass of polymer:
//   du_i/dt = d/dm (rho_p^2 D_i du_i/dm),  rho_p = 1 / (Vp + u_1 V1 + u_2 V2),
//   no flux at the base film, rho_p^2 D_i du_i/dm = -n_i at the surface,
//   C dT/dt = (hU + hL)(T_air - T) - sum_i dHv_i n_i.
// The nodes are graded toward the surface, where the steep gradients form.
namespace tovimar {

// How the Newton iterations of the BDF method see the Jacobian.
enum class DiffusionJacobian {
  // A band of the nodes' neighbours, the temperature ordered after the surface node and
  // perturbed on its own: the interior nodes' dependence on the temperature (lumped on the
  // surface node, so that the solvent's balance holds) and the heat capacity's on every node
  // are left out (a modified Newton iteration). About five times faster than Dense.
  Band,
  // Every entry, by difference quotients: exact, and the reference the band is measured
  // against.
  Dense,
};

// The smallest, default and largest cell counts the kernel takes.
inline constexpr int MinDiffusionCells = 20;
inline constexpr int DefaultDiffusionCells = 40;
inline constexpr int MaxDiffusionCells = 2000;

struct DiffusionNumerics {
  int cells = DefaultDiffusionCells;  // DiffusionCells: intervals between the N + 1 nodes
  double relativeTolerance = 1e-4;
  double contentTolerance = 1e-6;     // absolute, kg/kg polymer
  double temperatureTolerance = 1e-3; // absolute, K
  DiffusionJacobian jacobian = DiffusionJacobian::Band;
};

// The integrator's counters since the kernel was made.
struct DiffusionStatistics {
  long steps = 0;
  long rhsEvaluations = 0;
  long jacobianEvaluations = 0;
  long newtonIterations = 0;
  long newtonFailures = 0;
  long errorTestFailures = 0;
};

class DiffusionKernel {
 public:
  // Allocates everything a run needs. Refuses parameters that cannot make a run
  // (ArithmeticError naming the parameter). `thermo` must outlive the kernel.
  DiffusionKernel(const DiffusionInputs& inputs, const SurfaceThermodynamics& thermo,
                  const DiffusionStart& start, const DiffusionNumerics& numerics);
  ~DiffusionKernel();
  DiffusionKernel(const DiffusionKernel&) = delete;
  DiffusionKernel& operator=(const DiffusionKernel&) = delete;

  // Back to the start: uniform contents, the starting temperature, time 0, nothing evaporated.
  void Restart();

  // Integrates through one zone from the present time, reporting after each `interval`
  // (s) into points[0 .. steps - 1]; the zone ends at the last report. With `profiles`
  // (steps x Nodes() entries), point j's through-thickness profile goes to entries
  // j Nodes() onward. An integration that fails throws ArithmeticError naming the zone
  // (`zoneNumber`), the time and the cause. Allocates nothing.
  void MarchZone(std::int32_t zoneNumber, const DiffusionZone& zone, double interval,
                 std::int32_t steps, std::span<DiffusionPoint> points,
                 std::span<DepthPoint> profiles = {});

  // The web now (at the start: the entrance of zone 1).
  [[nodiscard]] DiffusionPoint Current() const;
  [[nodiscard]] double Time() const;  // s since the start

  // The through-thickness profile now, base film first: Nodes() entries.
  [[nodiscard]] int Nodes() const;
  void Profile(std::span<DepthPoint> out) const;

  [[nodiscard]] DiffusionStatistics Statistics() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace tovimar
