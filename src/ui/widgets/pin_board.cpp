#include "ui/widgets/pin_board.h"

#include <algorithm>
#include <string>

namespace tovimar::ui {

void PinBoard::Pin(std::string_view name, RunResults results, RunInputs inputs) {
  runs_.Pin(name, std::move(results), std::move(inputs));
  emit Changed();
}

bool PinBoard::Unpin(std::string_view name) {
  const bool unpinned = runs_.Unpin(name);
  if (unpinned) {
    emit Changed();
  }
  return unpinned;
}

void PinBoard::Clear() {
  const bool any = !runs_.runs().empty();
  runs_.Clear();
  if (any) {
    emit Changed();
  }
}

QString ProposedRunName(const std::vector<PinnedRun>& runs) {
  for (int number = 1;; ++number) {
    const std::string name = "Run " + std::to_string(number);
    if (std::none_of(runs.begin(), runs.end(), [&](const PinnedRun& run) { return run.name == name; })) {
      return QString::fromStdString(name);
    }
  }
}

}  // namespace tovimar::ui
