#include "ui/main_window.h"

namespace tovimar::ui {

MainWindow BuildMainWindow() {
  MainWindow window;
  window.form = std::make_unique<TForm1>();
  window.profile = ProfilePage::AttachTo(*window.form);
  return window;
}

}  // namespace tovimar::ui
