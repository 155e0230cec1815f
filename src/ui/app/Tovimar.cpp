// Tovimar: simulates the drying of a solvent-borne coating on a moving film.
#include <cstdio>
#include <cstring>

#include "startup.h"

int main(int argc, char** argv) {
  // Answered before any window system is needed, so it works without a display too.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("tovimar %s\n", TOVIMAR_VERSION);
    return 0;
  }
  return tovimar::ui::RunTovimar(argc, argv);
}
