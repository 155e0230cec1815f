#pragma once

namespace tovimar::ui {

// Names the application and sets the style and icon every window of the program uses.
// Needs the QApplication to exist.
void ConfigureApplication();

}  // namespace tovimar::ui
