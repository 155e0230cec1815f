#include "batch_report.h"

#include <errno.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <system_error>

extern char** environ;

namespace tovimar::batch {

namespace {

// tovimar-report in the directory of this executable; empty when there is none there.
std::string ReportBesideSelf() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) {
    return {};
  }
  const std::filesystem::path beside = self.parent_path() / ReportProgram;
  return ::access(beside.c_str(), X_OK) == 0 ? beside.string() : std::string();
}

}  // namespace

std::vector<std::string> ReportArguments(const BatchOptions& options, const std::string& dataFile) {
  std::vector<std::string> args{"--output", options.reportFile.value_or(std::string())};
  if (!dataFile.empty()) {
    args.insert(args.end(), {"--data", dataFile});
  }
  if (options.lineFile) {
    args.insert(args.end(), {"--line", *options.lineFile});
  }
  for (const std::string& setting : options.settings) {
    args.insert(args.end(), {"--set", setting});
  }
  return args;
}

int WriteReport(const BatchOptions& options, const std::string& dataFile, UserMessages& messages) {
  return WriteReport(options, dataFile, {}, messages);
}

int WriteReportOf(const BatchOptions& options, const std::vector<std::string>& settings,
                  UserMessages& messages) {
  if (!options.reportFile) return ExitCompleted;
  std::string error;
  const std::optional<std::string> dataFile = DataFileOf(options, error);
  return WriteReport(options, dataFile.value_or(std::string()), settings, messages);
}

int WriteReport(const BatchOptions& options, const std::string& dataFile,
                const std::vector<std::string>& settings, UserMessages& messages) {
  const std::string beside = ReportBesideSelf();
  const std::string program = beside.empty() ? std::string(ReportProgram) : beside;
  std::vector<std::string> args = ReportArguments(options, dataFile);
  for (const std::string& setting : settings) {
    args.insert(args.end(), {"--set", setting});
  }
  args.insert(args.begin(), program);
  std::vector<char*> argv;
  for (std::string& arg : args) {
    argv.push_back(arg.data());
  }
  argv.push_back(nullptr);

  pid_t pid = 0;
  // Beside this executable it is started by its path; otherwise PATH is searched.
  const int started = beside.empty()
                          ? ::posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ)
                          : ::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
  if (started == ENOENT) {
    messages.ShowMessage(std::string("--report needs ") + ReportProgram +
                         ", the desktop program's report writer; it was found neither beside "
                         "tovimar-batch nor on PATH");
    return ExitInternalError;
  }
  if (started != 0) {
    messages.ShowMessage(std::string(ReportProgram) + " could not be started: " + std::strerror(started));
    return ExitInternalError;
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      messages.ShowMessage(std::string("waiting for ") + ReportProgram + " failed: " + std::strerror(errno));
      return ExitInternalError;
    }
  }
  if (WIFEXITED(status)) {
    return WEXITSTATUS(status);  // tovimar-report gives the statuses of this tool
  }
  messages.ShowMessage(std::string(ReportProgram) + " ended on signal " +
                       std::to_string(WIFSIGNALED(status) ? WTERMSIG(status) : 0));
  return ExitInternalError;
}

}  // namespace tovimar::batch
