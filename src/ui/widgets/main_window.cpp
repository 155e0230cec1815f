#include "ui/widgets/main_window.h"

#include "ui/widgets/compare_page.h"
#include "ui/widgets/fit_page.h"
#include "ui/widgets/line_page.h"
#include "ui/widgets/optimise_page.h"
#include "ui/widgets/session_keeper.h"

namespace tovimar::ui {

MainWindow BuildMainWindow() {
  MainWindow window;
  window.form = std::make_unique<TForm1>();
  window.profile = ProfilePage::AttachTo(*window.form);
  LinePage* line = LinePage::AttachTo(*window.form);
  OptimisePage::AttachTo(*window.form, window.profile);
  FitPage::AttachTo(*window.form, window.profile);
  ComparePage::AttachTo(*window.form, window.profile);
  window.session = SessionKeeper::AttachTo(*window.form, window.profile, line);
  return window;
}

}  // namespace tovimar::ui
