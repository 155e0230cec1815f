// Every file the core writes and reads is the same whatever the process locale. The desktop
// program runs in the user's locale (the toolkit sets it from the environment at start-up),
// so a comma-decimal locale must not reach a number in a file or the reading of an entry.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <locale>
#include <string>
#include <vector>

#include "support/recorded.h"
#include "conditionfile/data_file.h"
#include "input/field_catalogue.h"
#include "input/number_parse.h"
#include "format/fixed_format.h"
#include "run/run_sequence.h"
#include "support/scratch_dir.h"

namespace tovimar {
namespace {

using test_support::FileBytes;
using test_support::ScratchDir;

constexpr const char* CommaLocale = "de_DE.UTF-8";

// Switches the C and C++ locales of the process for the object's lifetime.
class ProcessLocale {
 public:
  explicit ProcessLocale(const char* name) : savedC_(std::setlocale(LC_ALL, nullptr)) {
    ok_ = std::setlocale(LC_ALL, name) != nullptr;
    if (ok_) {
      try {
        savedCpp_ = std::locale::global(std::locale(name));
      } catch (const std::runtime_error&) {
        ok_ = false;
      }
    }
  }
  ProcessLocale(const ProcessLocale&) = delete;
  ProcessLocale& operator=(const ProcessLocale&) = delete;
  ~ProcessLocale() {
    std::setlocale(LC_ALL, savedC_.c_str());
    std::locale::global(savedCpp_);
  }
  [[nodiscard]] bool ok() const { return ok_; }

 private:
  std::string savedC_;
  std::locale savedCpp_;
  bool ok_ = false;
};

// Everything the core writes for one set of entries: the result file of a three-zone run,
// the data file of the entries, and the result file of a run from that data file read back.
struct Files {
  std::string result;
  std::string data;
  std::string resultFromData;
  std::vector<std::string> loadedTexts;
};

Files WriteEverything(const ScratchDir& dir) {
  MapEntryTexts entries;
  entries.SetText("Edit250", dir.File("result.txt"));
  entries.SetText("Edit7", "20.5");
  entries.SetText("Edit206", "2.5e-2");
  const char* zone3[] = {"85.25", "12.5", "0.0015", "0.0", "0.0225", "0.055"};
  for (int column = 1; column <= ZoneColumns; ++column) {
    entries.SetText(ZoneEntryName(3, column), zone3[column - 1]);
  }
  Files files;
  Simulation sim;
  RecordedMessages messages;
  EXPECT_TRUE(RunSimulation(sim, entries, messages).completed());
  files.result = FileBytes(dir.File("result.txt"));

  WriteDataFile(dir.File("data.txt"), entries);
  files.data = FileBytes(dir.File("data.txt"));

  MapEntryTexts loaded;
  EXPECT_EQ(LoadDataFile(dir.File("data.txt"), loaded, messages), DataFileLoad::Loaded);
  for (const ConditionField& f : ConditionFields()) files.loadedTexts.push_back(loaded.Text(f.entryName));
  loaded.SetText("Edit250", dir.File("from-data.txt"));
  EXPECT_TRUE(RunSimulation(sim, loaded, messages).completed());
  files.resultFromData = FileBytes(dir.File("from-data.txt"));
  EXPECT_TRUE(messages.messages.empty());
  return files;
}

TEST(LocaleIndependence, FilesAreTheSameUnderACommaLocale) {
  ScratchDir dir;
  const Files plain = WriteEverything(dir);
  ASSERT_NE(plain.result.find("  ZONE 3\r\n"), std::string::npos);
  ASSERT_NE(plain.result.find("=  20.50\r\n"), std::string::npos);  // a point, not a comma
  EXPECT_EQ(plain.resultFromData, plain.result);

  ProcessLocale comma(CommaLocale);
  if (!comma.ok()) GTEST_SKIP() << "locale " << CommaLocale << " is not installed";
  // The locale is in force: the C library now writes a comma.
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 0.5);
  ASSERT_STREQ(probe, "0,5");

  ScratchDir other;
  const Files underComma = WriteEverything(other);
  EXPECT_EQ(underComma.result.size(), plain.result.size());
  EXPECT_TRUE(underComma.result == plain.result) << "the result file differs";
  EXPECT_EQ(underComma.data, plain.data);
  EXPECT_EQ(underComma.loadedTexts, plain.loadedTexts);
  EXPECT_TRUE(underComma.resultFromData == plain.result) << "the result file from the data file differs";
}

TEST(LocaleIndependence, EntryTextsWithAPointParseUnderBothLocales) {
  const std::vector<std::pair<std::string, double>> texts{
      {"0.5", 0.5}, {"  -12.25e1 ", -122.5}, {"1.", 1.0}, {".75", 0.75}, {"0.0695", 0.0695}};
  for (const char* name : {"C", CommaLocale}) {
    ProcessLocale locale(name);
    if (!locale.ok()) continue;
    SCOPED_TRACE(name);
    for (const auto& [text, value] : texts) {
      EXPECT_EQ(ParseNumber(text), value) << text;
    }
    // The comma is never a decimal separator, whatever the locale says.
    EXPECT_FALSE(ParseNumber("0,5").has_value());
    EXPECT_FALSE(ParseNumber("1.000,5").has_value());
    EXPECT_EQ(FixedFormat(-1234.5678, 8, 3), "-1234.568");
  }
}

}  // namespace
}  // namespace tovimar
