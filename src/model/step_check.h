#pragma once

#include <array>
#include <optional>
#include <vector>
#include <string>

#include "model/model.h"

namespace tovimar {

// How much the printed profile moves when the time step is halved.
struct StepCheckResult {
  bool completed = false;          // false: the halved run stopped; see message
  double maxTempChange = 0;        // K, largest |change| of the web temperature
  double maxResidualChange = 0;    // largest |change| of a residual ratio (either solvent)
  std::string message;             // why the halved run stopped; empty when it completed
};

// The run with half the time step, at the points the run prints: for every active zone, the
// web temperature and both residual ratios after steps 2, 4, ..., 2N (entry k of the run
// lies where step 2k of the halved run ends). Needs only the conditions as read (step
// counts included), so it can march while the run itself does. A fault is kept, not thrown.
struct HalvedRun {
  std::vector<std::array<double, 3>> points;  // web temperature, residual ratio 1 and 2
  bool completed = false;
  std::string message;  // why it stopped
};
HalvedRun MarchHalved(const DryingConditions& c);

// Compares the halved run with the run `completed` marched.
StepCheckResult CompareHalved(const Simulation& completed, const HalvedRun& halved);

// Repeats a completed run in memory with half its time step: each active zone in twice its
// steps, so that entry 2k of the halved run lies where entry k of the run lies, and compares
// every entry of every active zone. Writes nothing (neither `completed` nor a file) and is
// not bound by the profile's rows. A fault of the halved run is returned, never thrown.
StepCheckResult StepCheck(const Simulation& completed);

// Web temperature changes above this many kelvin, or residual-ratio changes above
// StepCheckResidualLimit, ask for a smaller Increment of z.
inline constexpr double StepCheckTempLimit = 0.5;
inline constexpr double StepCheckResidualLimit = 0.005;

// "Step check: halving the Increment of z changes the web temperature by at most 0.004 K
// and the residual ratios by at most 2e-05." Numbers in the shortest form with three
// significant digits (like %.3g). For a check that stopped: "Step check: the run with half
// the Increment of z stopped: <message>".
std::string StepCheckLine(const StepCheckResult& result);

// For a change above the limits: "The profile is not yet accurate: halving the Increment of
// z changes the web temperature by up to 1.2 K. Try an Increment of z of 0.05 m." Nothing
// below the limits or for a check that stopped.
std::optional<std::string> StepCheckWarning(const StepCheckResult& result, double stepLength);

}  // namespace tovimar
