#pragma once

#include <array>

// The inputs and outputs of the free-volume diffusion kernel (diffusion_kernel.h): plain
// records in the units the user types, resolved from the conditions and the model's
// parameters by the caller. Solvent i = 1, 2 is entry [i - 1] of each pair.
namespace tovimar {

// One solvent of the coating.
struct DiffusionSolvent {
  double D0 = 0;                  // cm2/s, pre-exponential factor of the self-diffusion coefficient
  double ActivationEnergy = 0;    // J/mol
  double HoleVolume = 0;          // cm3/g, specific hole free volume V* needed for a jump
  double K1Gamma = 0;             // cm3/(g K), K1 / gamma
  double K2MinusTg = 0;           // K, K2 - Tg
  double Xi = 0;                  // the solvent's jumping-unit volume over the polymer's
  double ChiP = 0;                // interaction with the polymer (the mutual-diffusion factor)
  double SpecificVolume = 0;      // cm3/g, 1 / density
  double MolarMass = 0;           // g/mol
  double HeatOfVaporization = 0;  // kJ/kg
  double SpecificHeat = 0;        // kJ/(kg K)
};

// The polymer (the solid) and the base film under it.
struct DiffusionPolymer {
  double HoleVolume = 0;      // cm3/g
  double K1Gamma = 0;         // cm3/(g K)
  double K2MinusTg = 0;       // K
  double SpecificVolume = 0;  // cm3/g
  double SpecificHeat = 0;    // kJ/(kg K)
  double SolidWeight = 0;     // kg/m2, Ws
  double BaseFilmWeight = 0;  // kg/m2
  double BaseFilmSpecificHeat = 0;  // kJ/(kg K)
};

struct DiffusionInputs {
  std::array<DiffusionSolvent, 2> solvent;
  DiffusionPolymer polymer;
};

// The coating as it enters the dryer: uniform through its thickness. A solvent whose content
// is 0 is absent throughout the run.
struct DiffusionStart {
  std::array<double, 2> u{};  // kg solvent per kg polymer
  double T = 0;               // deg C
};

// What one zone does to the web.
struct DiffusionZone {
  double AirTemp = 0;                  // deg C
  std::array<double, 2> beta{};        // m/s, mass-transfer coefficient of each solvent
  std::array<double, 2> airPressure{}; // mmHg, each solvent's partial pressure in the air
  double HeatCoef = 0;                 // kJ/(m2 s K), upper plus lower heat-transfer coefficient
};

// The web at one printed point.
struct DiffusionPoint {
  double T = 0;                          // deg C
  std::array<double, 2> meanU{};         // kg/kg polymer; the weight per area is meanU x Ws
  std::array<double, 2> surfaceW{};      // weight fraction at the surface
  std::array<double, 2> baseW{};         // weight fraction at the base film
  std::array<double, 2> evaporated{};    // kg/m2 evaporated since the start (negative: condensed)
};

// One node of the through-thickness profile.
struct DepthPoint {
  double height = 0;  // height above the base film over the coating's thickness, 0 to 1
  std::array<double, 2> w{};  // weight fractions of the solvents
};

// The solvents' vapour pressure and activity at the coating surface. The kernel asks only
// for these, so it takes whichever thermodynamics its caller uses.
class SurfaceThermodynamics {
 public:
  virtual ~SurfaceThermodynamics() = default;
  // Saturated vapour pressure (mmHg) of solvent `solvent` (1 or 2) at T (deg C).
  [[nodiscard]] virtual double VaporPressure(int solvent, double T) const = 0;
  // Activity of solvent `solvent` at the solvents' volume fractions Phi1 and Phi2 (the
  // polymer holds the rest); called only with that solvent's own fraction above 0.
  [[nodiscard]] virtual double Activity(int solvent, double Phi1, double Phi2) const = 0;
};

}  // namespace tovimar
