#pragma once

namespace tovimar::ui {

struct StartOptions {
  // Ends the program as soon as the main window has been painted for the first time (for
  // timing the start-up).
  bool quitWhenShown = false;
};

// Starts the program: creates the main window (with its hidden completion dialog), shows
// it centred on the screen and serves events until it is closed. Returns the exit code.
int RunTovimar(int& argc, char** argv, const StartOptions& options = {});

}  // namespace tovimar::ui
