#include "ui/main_window.h"

#include "ui/ComparePage.h"
#include "ui/FitPage.h"
#include "ui/LinePage.h"
#include "ui/OptimisePage.h"

namespace tovimar::ui {

MainWindow BuildMainWindow() {
  MainWindow window;
  window.form = std::make_unique<TForm1>();
  window.profile = ProfilePage::AttachTo(*window.form);
  LinePage::AttachTo(*window.form);
  OptimisePage::AttachTo(*window.form, window.profile);
  FitPage::AttachTo(*window.form, window.profile);
  ComparePage::AttachTo(*window.form, window.profile);
  return window;
}

}  // namespace tovimar::ui
