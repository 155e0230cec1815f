#pragma once

#include <memory>

#include "ui/widgets/profile_page.h"
#include "ui/widgets/Tovimar_Main.h"

namespace tovimar::ui {

// The main window with all of its pages, as the program shows it. The start-up, the
// screenshot tool and the tests build it here, so that each sees the same window.
class SessionKeeper;

struct MainWindow {
  std::unique_ptr<TForm1> form;
  ProfilePage* profile = nullptr;  // owned by the form's notebook
  SessionKeeper* session = nullptr;  // owned by the form
};

MainWindow BuildMainWindow();

}  // namespace tovimar::ui
