// Runs a fuzz target's body over every file of its seed corpus, without libFuzzer: the
// corpus replay of the test command. A failed check inside the target aborts the process,
// which fails the test; the input at fault is named on standard error first.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> InputsOf(const std::filesystem::path& path) {
  std::vector<std::filesystem::path> inputs;
  if (std::filesystem::is_directory(path)) {
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
      if (entry.is_regular_file()) {
        inputs.push_back(entry.path());
      }
    }
    std::sort(inputs.begin(), inputs.end());
  } else if (std::filesystem::is_regular_file(path)) {
    inputs.push_back(path);
  }
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s CORPUS_DIR_OR_FILE...\n", argv[0]);
    return 2;
  }
  std::size_t replayed = 0;
  for (int a = 1; a < argc; ++a) {
    const std::vector<std::filesystem::path> inputs = InputsOf(argv[a]);
    if (inputs.empty()) {
      std::fprintf(stderr, "no inputs in %s\n", argv[a]);
      return 2;
    }
    for (const std::filesystem::path& input : inputs) {
      std::ifstream in(input, std::ios::binary);
      const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>()};
      if (!in.eof() && in.fail()) {
        std::fprintf(stderr, "cannot read %s\n", input.c_str());
        return 2;
      }
      std::fprintf(stderr, "replaying %s (%zu bytes)\n", input.c_str(), bytes.size());
      // A copy of exactly the input's size, so that a read past its end is caught by the
      // address sanitizer as it would be under libFuzzer.
      std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
      (void)LLVMFuzzerTestOneInput(data.empty() ? nullptr : data.data(), data.size());
      ++replayed;
    }
  }
  std::printf("%zu inputs replayed without a finding\n", replayed);
  return 0;
}
