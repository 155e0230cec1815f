#pragma once

#include <string_view>

#include <QString>

#include "study/optimise.h"

namespace tovimar::ui {

// What keeps the Optimise page's problem from being searched, in the page's own terms (its
// buttons and columns), for its status line.
QString PageText(const OptimiseProblemFault& fault);

// A message of the optimiser's text forms (a set-up read from a line file) without the hint
// to the batch tool's options, which the page has no use for: its lists name everything.
QString WithoutOptionHint(std::string_view message);

}  // namespace tovimar::ui
