// The Drying Profile page's Pin Run button: the page's run kept under a name as a baseline.
#include <optional>

#include "model/errors.h"
#include "ui/widgets/profile_page.h"
#include "ui/widgets/Tovimar_Main.h"
#include "ui/widgets/look.h"
#include "ui/widgets/pin_board.h"
#include "ui/widgets/run_name_dialog.h"

namespace tovimar::ui {

void ProfilePage::SetRunNameDialog(std::unique_ptr<RunNameDialog> dialog) {
  if (dialog) {
    nameDialog_ = std::move(dialog);
  }
}

void ProfilePage::PinRunClick() {
  if (!current_) {
    return;
  }
  const std::optional<QString> name = nameDialog_->AskRunName(this, ProposedRunName(pinned_->Runs()));
  if (name) {
    PinRun(*name);
  }
}

bool ProfilePage::PinRun(const QString& name) {
  if (!current_) {
    ShowFailure(QStringLiteral("There is no completed run that could be pinned."));
    return false;
  }
  try {
    pinned_->Pin(name.toStdString(), results_, shownInputs_);
  } catch (const InputError& e) {
    ShowFailure(QStringLiteral("The run cannot be pinned:\n\n") + FromUtf8(e.what()));
    return false;
  }
  return true;
}

}  // namespace tovimar::ui
