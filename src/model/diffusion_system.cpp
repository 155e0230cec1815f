// The diffusion kernel's system of equations on its graded grid.
#include "model/diffusion_system.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include <sunmatrix/sunmatrix_band.h>

namespace tovimar::diffusion {

namespace {

// The largest over the smallest cell: the cells shrink smoothly toward the surface, by the
// same mapping for every cell count, so that doubling the cells halves each one.
constexpr double GradingRatio = 10;

}  // namespace

System::System(const DiffusionInputs& inputs, const SurfaceThermodynamics& thermo,
               const DiffusionStart& start, int cells)
    : inputs_(inputs), thermo_(thermo), start_(start), coef_(Prepare(inputs, start)), N_(cells) {
  for (int i = 0; i < 2; ++i) {
    if (coef_.present[i]) slot_[i] = S_++;
  }
  iT_ = static_cast<long>(N_ + 1) * S_;
  BuildGrid();
}

void System::BuildGrid() {
  m_.resize(N_ + 1);
  const double s = std::log(GradingRatio);
  const double Ws = inputs_.polymer.SolidWeight;
  for (int k = 0; k <= N_; ++k) {
    const double xi = static_cast<double>(k) / N_;
    m_[k] = k == N_ ? Ws : Ws * (1 - std::exp(-s * xi)) / (1 - std::exp(-s));
  }
  inverseSpacing_.resize(N_);
  volume_.assign(N_ + 1, 0.0);
  for (int k = 0; k < N_; ++k) {
    const double h = m_[k + 1] - m_[k];
    inverseSpacing_[k] = 1 / h;
    volume_[k] += 0.5 * h;
    volume_[k + 1] += 0.5 * h;
  }
}

std::array<double, 2> System::Contents(const double* v, int k) const {
  std::array<double, 2> u{};
  for (int i = 0; i < 2; ++i) {
    if (slot_[i] >= 0) u[i] = v[k * S_ + slot_[i]];
  }
  return u;
}

void System::LoadStart(double* v) const {
  for (int k = 0; k <= N_; ++k) {
    for (int i = 0; i < 2; ++i) {
      if (slot_[i] >= 0) v[k * S_ + slot_[i]] = start_.u[i];
    }
  }
  v[iT_] = start_.T;
  for (int s = 0; s < S_; ++s) v[iT_ + 1 + s] = 0;
}

void System::RecordFault(Fault f, int node) {
  fault_ = f;
  faultHeight_ = m_[node] / m_[N_];
}

void System::RecordFaultText(const char* text) {
  try {
    faultText_ = text;
  } catch (...) {
  }
}

void System::ClearFault() {
  fault_ = Fault::None;
  faultText_.clear();
}

std::string System::LastFault() const {
  if (!faultText_.empty()) return faultText_;
  if (fault_ == Fault::None) return {};
  char height[32];
  const auto end = std::to_chars(height, height + sizeof height, faultHeight_,
                                 std::chars_format::general, 3).ptr;
  return std::string(Describe(fault_)) + " at height " + std::string(height, end) +
         " of the coating";
}

int System::Evaluate(const double* v, double* rate) {
  const double T = v[iT_];
  const double TK = T + KelvinOffset;
  std::array<double, 2> previousFlux{};
  std::array<double, 2> held{};  // sum of volume x content: the solvent per area / Ws
  std::array<double, 2> u = Contents(v, 0);
  for (int k = 0; k < N_; ++k) {
    const std::array<double, 2> next = Contents(v, k + 1);
    std::array<double, 2> K{};
    const Fault f =
        Transport(coef_, {0.5 * (u[0] + next[0]), 0.5 * (u[1] + next[1])}, TK, K);
    if (f != Fault::None) {
      RecordFault(f, k);
      return 1;
    }
    for (int i = 0; i < 2; ++i) {
      if (slot_[i] < 0) continue;
      const double flux = K[i] * (next[i] - u[i]) * inverseSpacing_[k];
      rate[k * S_ + slot_[i]] = (flux - previousFlux[i]) / volume_[k];
      previousFlux[i] = flux;
      held[i] += volume_[k] * u[i];
    }
    u = next;
  }
  const Fractions surface = FractionsOf(coef_, u);
  std::array<double, 2> n{};
  double heatOfEvaporation = 0;
  double heatCapacity = inputs_.polymer.SolidWeight * inputs_.polymer.SpecificHeat +
                        inputs_.polymer.BaseFilmWeight * inputs_.polymer.BaseFilmSpecificHeat;
  for (int i = 0; i < 2; ++i) {
    if (slot_[i] < 0) continue;
    n[i] = EvaporationFlux(coef_, thermo_, zone_, i, surface, T);
    rate[N_ * S_ + slot_[i]] = (-n[i] - previousFlux[i]) / volume_[N_];
    held[i] += volume_[N_] * u[i];
    heatOfEvaporation += inputs_.solvent[i].HeatOfVaporization * n[i];
    heatCapacity += held[i] * inputs_.solvent[i].SpecificHeat;
    rate[iT_ + 1 + slot_[i]] = n[i];
  }
  rate[iT_] = (zone_.HeatCoef * (zone_.AirTemp - T) - heatOfEvaporation) / heatCapacity;
  if (!std::isfinite(rate[iT_]) || !std::isfinite(n[0]) || !std::isfinite(n[1])) {
    RecordFault(Fault::NonFinite, N_);
    return 1;
  }
  return 0;
}

DiffusionPoint System::PointOf(const double* v) const {
  DiffusionPoint p;
  p.T = v[iT_];
  const Fractions base = FractionsOf(coef_, Contents(v, 0));
  const Fractions top = FractionsOf(coef_, Contents(v, N_));
  for (int i = 0; i < 2; ++i) {
    p.baseW[i] = base.w[i];
    p.surfaceW[i] = top.w[i];
    if (slot_[i] < 0) continue;
    double held = 0;
    for (int k = 0; k <= N_; ++k) held += volume_[k] * v[k * S_ + slot_[i]];
    p.meanU[i] = held / inputs_.polymer.SolidWeight;
    p.evaporated[i] = v[iT_ + 1 + slot_[i]];
  }
  return p;
}

// The profile of the state v into out (at most N_ + 1 nodes). Height: the coating's volume
// below each node, the specific volume integrated over the polymer mass by the trapezoidal
// rule, over the whole coating's.
void System::ProfileOf(const double* v, std::span<DepthPoint> out) const {
  const int nodes = std::min(static_cast<int>(out.size()), N_ + 1);
  double height = 0;
  double previousVolume = 0;
  for (int j = 0; j <= N_; ++j) {
    const Fractions f = FractionsOf(coef_, Contents(v, j));
    if (j > 0) height += 0.5 * (previousVolume + f.specificVolume) * (m_[j] - m_[j - 1]);
    previousVolume = f.specificVolume;
    if (j < nodes) out[j] = {height, f.w};
  }
  for (int j = 0; j < nodes; ++j) out[j].height /= height;
}

// The band Jacobian by difference quotients. The contents are perturbed in groups of columns
// a band apart, the temperature on its own: perturbing it with the contents (as a plain band
// quotient would) lets every interior node's dependence on the temperature, which lies
// outside the band, corrupt the entries inside it, and the Newton iteration then accepts
// wrong steps. What lies outside the band is left out, but for the balance below.
int System::BandJacobian(const double* v, const double* rate, SUNMatrix J, const double* weights,
                         double* trial, double* trialRate) {
  SUNMatZero(J);
  const sunindextype size = Size();
  const sunindextype upper = SUNBandMatrix_UpperBandwidth(J);
  const sunindextype lower = SUNBandMatrix_LowerBandwidth(J);
  const double root = std::sqrt(UNIT_ROUNDOFF);
  std::copy(v, v + size, trial);
  auto increment = [&](sunindextype j) { return root * std::max(std::abs(v[j]), 1 / weights[j]); };
  auto store = [&](sunindextype j, double inc) {
    sunrealtype* column = SUNBandMatrix_Column(J, j);
    const sunindextype first = std::max<sunindextype>(0, j - upper);
    const sunindextype last = std::min<sunindextype>(size - 1, j + lower);
    for (sunindextype i = first; i <= last; ++i) {
      SM_COLUMN_ELEMENT_B(column, i, j) = (trialRate[i] - rate[i]) / inc;
    }
  };
  const sunindextype width = upper + lower + 1;
  for (sunindextype group = 0; group < std::min<sunindextype>(width, iT_); ++group) {
    for (sunindextype j = group; j < iT_; j += width) trial[j] = v[j] + increment(j);
    if (Evaluate(trial, trialRate) != 0) return 1;
    for (sunindextype j = group; j < iT_; j += width) {
      store(j, trial[j] - v[j]);
      trial[j] = v[j];
    }
  }
  const double inc = increment(iT_);
  trial[iT_] = v[iT_] + inc;
  if (Evaluate(trial, trialRate) != 0) return 1;
  store(iT_, inc);
  // The interior rows of the temperature's column lie outside the band. Dropped, they would
  // let every Newton correction of the temperature move solvent between the coating and the
  // evaporated masses. The coating's whole response is the surface flux's (the fluxes
  // between nodes cancel): what the kept rows do not carry of it goes to the surface node,
  // so that the iteration keeps the solvent's balance exactly.
  const sunindextype first = std::max<sunindextype>(0, iT_ - upper);
  sunrealtype* column = SUNBandMatrix_Column(J, iT_);
  for (int i = 0; i < 2; ++i) {
    if (slot_[i] < 0) continue;
    double missing = -SM_COLUMN_ELEMENT_B(column, iT_ + 1 + slot_[i], iT_);
    for (int k = 0; k <= N_; ++k) {
      const sunindextype row = k * S_ + slot_[i];
      if (row >= first) missing -= volume_[k] * SM_COLUMN_ELEMENT_B(column, row, iT_);
    }
    SM_COLUMN_ELEMENT_B(column, N_ * S_ + slot_[i], iT_) += missing / volume_[N_];
  }
  return 0;  // nothing depends on the evaporated masses: their columns stay 0
}

}  // namespace tovimar::diffusion
