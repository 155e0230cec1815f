// Tovimar: simulates the drying of a solvent-borne coating on a moving film.
#include "ui/startup.h"

int main(int argc, char** argv) { return tovimar::ui::RunTovimar(argc, argv); }
