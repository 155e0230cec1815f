#pragma once

#include <array>

#include "model/diffusion_inputs.h"

// The free-volume transport relations of the diffusion kernel, in SI units: the solvents'
// diffusion coefficients at a composition, the polymer's density in the coating and the
// evaporation flux at the surface. Prepared once per run from the user's units.
namespace tovimar::diffusion {

inline constexpr double GasConstant = 8.314462618;  // J/(mol K)
inline constexpr double KelvinOffset = 273.15;
inline constexpr double PascalPerMmHg = 133.322368;

// Why a composition or temperature cannot be evaluated.
enum class Fault {
  None,
  FreeVolume,        // the specific hole free volume is not positive (too cold for K2 - Tg)
  NegativeDiffusion, // 1 - 2 chi phi < 0: the mixture would separate into two phases
  NonFinite,         // an overflow or an invalid operation
};

// The message words for a fault, for example "the free volume of the coating is not positive".
const char* Describe(Fault fault);

// The per-run constants of the relations, in SI units.
struct Coefficients {
  std::array<bool, 2> present{};      // a solvent with a content of 0 at the start is absent
  std::array<double, 2> V{};          // m3/kg, the solvents' specific volumes
  double Vp = 0;                      // m3/kg, the polymer's
  // hole[i]: the hole free volume a jump of solvent i needs, per kg of solvent-1, solvent-2
  // and polymer: V*_1 Xi_i / Xi_1, V*_2 Xi_i / Xi_2, V*_p Xi_i (cm3/g; only ratios matter).
  std::array<std::array<double, 3>, 2> hole{};
  std::array<double, 3> k1{};         // K1 / gamma of solvent-1, solvent-2, polymer (cm3/(g K))
  std::array<double, 3> k2{};         // K2 - Tg of the same (K)
  std::array<double, 2> D0{};         // m2/s
  std::array<double, 2> activation{}; // E / R (K)
  std::array<double, 2> chi{};        // chi_ip
  std::array<double, 2> molarMass{};  // kg/mol
};

Coefficients Prepare(const DiffusionInputs& inputs, const DiffusionStart& start);

// The weight fractions of both solvents and of the polymer at the contents u (kg/kg polymer).
struct Fractions {
  std::array<double, 2> w{};
  double wp = 0;
  std::array<double, 2> phi{};  // volume fractions of the solvents
  double specificVolume = 0;   // m3 of coating per kg of polymer: Vp + u1 V1 + u2 V2
};
Fractions FractionsOf(const Coefficients& c, const std::array<double, 2>& u);

// The self-diffusion coefficient (m2/s) of every present solvent at the given fractions and
// temperature (K); the absent solvent's entry is 0. Returns the fault that stops it.
Fault SelfDiffusion(const Coefficients& c, const Fractions& f, double TK,
                    std::array<double, 2>& D);

// rho_p^2 D_i (kg2/(m4 s)) of every present solvent: the coefficient of du_i/dm in the
// solvent's flux in the polymer-mass coordinate, with the mutual-diffusion factor
// (1 - phi_i)^2 (1 - 2 chi_ip phi_i).
Fault Transport(const Coefficients& c, const std::array<double, 2>& u, double TK,
                std::array<double, 2>& K);

// The evaporation flux (kg/(m2 s)) of solvent i (0 or 1) from a surface of the given
// fractions at T (deg C) into the zone's air: beta M (a p_sat - p_air) / (R T_air). A
// solvent whose surface volume fraction is 0 or less has an activity of 0.
double EvaporationFlux(const Coefficients& c, const SurfaceThermodynamics& thermo,
                       const DiffusionZone& zone, int i, const Fractions& surface, double T);

}  // namespace tovimar::diffusion
