// The Drying Profile page's chart through the coating: the profile at a point of a diffusion
// run picked on the profile chart.
#include <algorithm>
#include <cmath>
#include <exception>

#include <QApplication>
#include <QLayout>
#include <QScreen>

#include "model/depth_at_point.h"
#include "ui/widgets/look.h"
#include "ui/widgets/profile_page.h"
#include "ui/widgets/Tovimar_Main.h"
#include "ui/widgets/window_layout.h"

namespace tovimar::ui {
namespace {

struct WaitCursor {
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

void ProfilePage::KeepDepthInputs(const Simulation& sim, const LineSettings& settings) {
  picked_.reset();
  depthExits_.clear();
  if (results_.model != DiffusionModelName || results_.line.points.empty()) return;
  depthConditions_ = sim.conditions;
  depthParameters_ = settings.Model.diffusion;
  depthExits_ = sim.model->ExitProfiles();
  picked_ = results_.line.points.size() - 1;
}

bool ProfilePage::PickPosition(double position) {
  if (!current_ || !picked_) return false;
  const std::vector<ProfilePoint>& points = results_.line.points;
  std::size_t nearest = 0;
  for (std::size_t i = 1; i < points.size(); ++i) {
    if (std::abs(points[i].position - position) < std::abs(points[nearest].position - position)) nearest = i;
  }
  picked_ = nearest;
  FillChart();
  ShowDepth();
  return true;
}

void ProfilePage::ShowDepth() {
  if (depthPanel_ == nullptr) return;
  const bool shown = current_ && picked_.has_value();
  // The chart stands below the profile chart, which keeps its height: a window lower than the
  // layout and the chart grows by the difference, as far as its screen has room.
  if (shown) {
    int tall = LayoutHeight + DepthChartHeight + chartHolder_->layout()->spacing();
    if (const QScreen* screen = form_.screen()) {
      const int frame = form_.frameGeometry().height() - form_.height();
      tall = std::min(tall, screen->availableGeometry().height() - frame);
    }
    if (form_.height() < tall) form_.resize(form_.width(), tall);
  }
  depthPanel_->setVisible(shown);
  if (!shown) {
    depthPanel_->Show(nullptr, QString());
    return;
  }
  const ProfilePoint& point = results_.line.points[*picked_];
  const QString where = QStringLiteral("At %1 m (zone %2, step %3)")
                            .arg(Fixed(point.position, 3))
                            .arg(point.zone)
                            .arg(point.step);
  for (const DepthProfile& exit : depthExits_) {
    if (exit.zone == point.zone && exit.step == point.step) {
      depthPanel_->Show(&exit, where);
      return;
    }
  }
  try {
    const DepthProfile profile = [&] {
      const WaitCursor wait;  // the march takes about as long as the run up to the point
      return DepthAtPoint(depthConditions_, depthParameters_, point.zone, point.step);
    }();
    depthPanel_->Show(&profile, where);
  } catch (const std::exception& e) {
    depthPanel_->Show(nullptr, QStringLiteral("The profile at %1 m cannot be shown: %2")
                                   .arg(Fixed(point.position, 3), FromUtf8(e.what())));
  }
}

}  // namespace tovimar::ui
