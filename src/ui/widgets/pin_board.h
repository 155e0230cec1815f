#pragma once

#include <string_view>
#include <vector>

#include <QObject>
#include <QString>

#include "study/compare_runs.h"

namespace tovimar::ui {

// The runs pinned as baselines, shared by the Drying Profile page (which pins them and
// overlays them on its chart) and the Compare page (which tabulates them). Every change is
// announced by Changed, so that both follow at once.
class PinBoard : public QObject {
  Q_OBJECT

 public:
  explicit PinBoard(QObject* parent = nullptr) : QObject(parent) {}

  // As PinnedRuns::Pin: throws InputError for an empty name, a name already pinned or a
  // run beyond MaxPinnedRuns, and changes nothing then.
  void Pin(std::string_view name, RunResults results, RunInputs inputs = {});
  bool Unpin(std::string_view name);
  void Clear();
  [[nodiscard]] const std::vector<PinnedRun>& Runs() const { return runs_.runs(); }

 signals:
  void Changed();

 private:
  PinnedRuns runs_;
};

// The name proposed for the next pinned run: "Run 1", "Run 2", ..., the first not pinned.
QString ProposedRunName(const std::vector<PinnedRun>& runs);

}  // namespace tovimar::ui
