// Starts the program exactly as `tovimar` does and ends it as soon as the main window has
// been painted, for timing the start-up.
#include "startup.h"

int main(int argc, char** argv) {
  tovimar::ui::StartOptions options;
  options.quitWhenShown = true;
  return tovimar::ui::RunTovimar(argc, argv, options);
}
