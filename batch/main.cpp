// tovimar-batch: the command-line companion of the desktop program, for scripted and
// repeated runs. See --help.
#include <CLI/CLI.hpp>
#include <unistd.h>

#include <iostream>

#include "batch_files.h"
#include "batch_memory.h"
#include "batch_options.h"
#include "batch_run.h"

int main(int argc, char** argv) {
  tovimar::batch::PrepareHeapForLargeBlocks();
  tovimar::batch::InstallSignalHandling();
  // Standard output is written and checked as a file (a full disk is a failed write).
  const bool outputClosed = tovimar::batch::KeepStandardDescriptorsOpen();
  tovimar::batch::StandardOutput output(STDOUT_FILENO, outputClosed);
  std::ostream out(&output);
  tovimar::batch::BatchOptions options;
  CLI::App app;
  app.name("tovimar-batch");
  app.set_version_flag("--version", "tovimar-batch " TOVIMAR_VERSION);
  tovimar::batch::AddOptions(app, options);
  int status = 0;
  try {
    app.parse(argc, argv);
    status = tovimar::batch::RunBatch(options, out, std::cerr);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
      status = app.exit(e, out, std::cerr);  // --help, --version
    } else {
      std::cerr << "tovimar-batch: " << e.what() << "\nRun with --help for more information.\n";
      status = tovimar::batch::ExitUsage;
    }
  }
  return tovimar::batch::FinishStandardOutput(output, status, std::cerr);
}
