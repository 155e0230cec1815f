// tovimar-batch: the command-line companion of the desktop program, for scripted and
// repeated runs. See --help.
#include <CLI/CLI.hpp>

#include <iostream>

#include "batch_files.h"
#include "batch_memory.h"
#include "batch_options.h"
#include "batch_run.h"

int main(int argc, char** argv) {
  tovimar::batch::PrepareHeapForLargeBlocks();
  tovimar::batch::InstallSignalHandling();
  tovimar::batch::BatchOptions options;
  CLI::App app;
  app.name("tovimar-batch");
  app.set_version_flag("--version", "tovimar-batch " TOVIMAR_VERSION);
  tovimar::batch::AddOptions(app, options);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
      return app.exit(e);  // --help
    }
    std::cerr << "tovimar-batch: " << e.what() << "\nRun with --help for more information.\n";
    return tovimar::batch::ExitUsage;
  }
  return tovimar::batch::RunBatch(options, std::cout, std::cerr);
}
