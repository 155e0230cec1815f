#include "results/profile_csv.h"
#include "results/output_catalogue.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <clocale>
#include <cmath>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "input/entry_texts.h"
#include "input/user_messages.h"
#include "support/recorded.h"
#include "format/csv.h"
#include "format/fixed_format.h"
#include "run/run_sequence.h"
#include "support/scratch_dir.h"

namespace tovimar {
namespace {

using test_support::FileBytes;
using test_support::ScratchDir;

TEST(Csv, FieldsAreQuotedOnlyWhenNeeded) {
  struct Case {
    std::string text;
    std::string field;
  };
  const std::vector<Case> cases{
      {"zone", "zone"},
      {"", ""},
      {" spaced ", " spaced "},
      {"time (s)", "time (s)"},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"\"", "\"\"\"\""},
      {"two\nlines", "\"two\nlines\""},
      {"cr\rhere", "\"cr\rhere\""},
      {"Arithmetic error in zone 2, step 3: division by zero",
       "\"Arithmetic error in zone 2, step 3: division by zero\""},
  };
  for (const Case& c : cases) {
    std::string out = "x,";
    AppendCsvField(out, c.text);
    EXPECT_EQ(out, "x," + c.field) << c.text;
  }
}

TEST(Csv, NumbersInTheirShortestRoundTripForm) {
  struct Case {
    double value;
    std::string text;
  };
  const std::vector<Case> cases{
      {0.1, "0.1"},
      {45.0, "45"},
      {-5.25, "-5.25"},
      {0.0, "0"},
      {-0.0, "-0"},
      {1e-05, "1e-05"},
      {1e+20, "1e+20"},
      {123456.789, "123456.789"},
      {0.1 + 0.2, "0.30000000000000004"},
      {40 + 3 * 0.05, "40.15"},
      {5e-324, "5e-324"},
      {DBL_MAX, "1.7976931348623157e+308"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShortestNumberText(c.value), c.text);
    std::string out;
    AppendCsvNumber(out, c.value);
    EXPECT_EQ(out, c.text);
  }
}

TEST(Csv, NumberTextsReadBackExactly) {
  // A spread of magnitudes and awkward fractions.
  double v = 1.0 / 3.0;
  for (int i = 0; i < 2000; ++i) {
    for (const double x : {v, -v, v * 1e-7, v * 1e12}) {
      const std::string text = ShortestNumberText(x);
      double back = 0;
      const auto result = std::from_chars(text.data(), text.data() + text.size(), back);
      ASSERT_EQ(result.ec, std::errc()) << text;
      ASSERT_EQ(result.ptr, text.data() + text.size()) << text;
      ASSERT_EQ(back, x) << text;
    }
    v = v * 1.0137 + 0.000731;
  }
}

TEST(Csv, WholeNumbersGiveTheSameTextAsAnyNumber) {
  // Whole numbers below 10000 take a shortcut; around and beyond its edges the text must be
  // the general conversion's (10000 is "10000", 100000 already "1e+05").
  for (int k = -3; k <= 100001; ++k) {
    for (const double x : {double(k), k + 0.5, std::nextafter(double(k), 1e9)}) {
      char expected[ShortestNumberBufferSize];
      const auto r = std::to_chars(expected, expected + sizeof expected, x);
      char text[ShortestNumberBufferSize];
      ASSERT_EQ(std::string(text, ShortestNumberInto(text, x)), std::string(expected, r.ptr)) << k;
    }
  }
}

TEST(Csv, NumbersIgnoreTheProcessLocale) {
  const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
  const bool comma = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr ||
                     std::setlocale(LC_NUMERIC, "de_DE") != nullptr;
  EXPECT_EQ(ShortestNumberText(2.5), "2.5");
  std::setlocale(LC_NUMERIC, previous.c_str());
  if (!comma) {
    GTEST_SKIP() << "no German locale installed to check against";
  }
}

TEST(Csv, NonFiniteNumbersHaveNoText) {
  for (const double x : {std::numeric_limits<double>::infinity(),
                         -std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_THROW((void)ShortestNumberText(x), NonFiniteValueError);
  }
}

// The records of a CSV text (no field of the profile CSV needs quotes).
std::vector<std::vector<std::string>> Records(const std::string& text) {
  std::vector<std::vector<std::string>> records;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "a record without CR LF at byte " << start;
    if (end == std::string::npos) break;
    const std::string line = text.substr(start, end - start);
    EXPECT_EQ(line.find_first_of("\r\n\""), std::string::npos) << line;
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (;;) {
      const std::size_t comma = line.find(',', from);
      fields.push_back(line.substr(from, comma - from));
      if (comma == std::string::npos) break;
      from = comma + 1;
    }
    records.push_back(fields);
    start = end + 2;
  }
  return records;
}

double Number(const std::string& text) {
  double value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  EXPECT_EQ(result.ec, std::errc()) << text;
  EXPECT_EQ(result.ptr, text.data() + text.size()) << text;
  return value;
}

TEST(ProfileCsv, HeaderRecord) {
  const std::string csv = FormatProfileCsv(RunResults{});
  EXPECT_EQ(csv,
            "zone,step,time (s),position in zone (m),position along the line (m),"
            "web temperature (C),solvent-1 weight (kg/m2),solvent-2 weight (kg/m2),"
            "solvent-1 residual ratio,solvent-2 residual ratio,solvent-1 weight fraction,"
            "solvent-2 weight fraction,drying-speed correction,residual solvent (g/m2),"
            "residual solvent (% of solid),boiling margin (K)\r\n");
}

TEST(ProfileCsv, DefaultRunReadsBackAsTheProfile) {
  Simulation sim;
  MapEntryTexts entries;
  RecordedMessages messages;
  RunOptions options;
  options.writeResultFile = false;
  ASSERT_TRUE(RunSimulation(sim, entries, messages, options).completed());
  const RunResults results = DeriveResults(sim);
  const LineProfile& line = results.line;
  const std::string csv = FormatProfileCsv(results);
  const auto records = Records(csv);
  ASSERT_EQ(records.size(), 1 + line.points.size());
  ASSERT_EQ(records.size(), 603u);
  ASSERT_EQ(records[0].size(), QuantitiesIn(InProfileCsv).size());
  for (std::size_t i = 0; i < line.points.size(); ++i) {
    SCOPED_TRACE("record " + std::to_string(i + 1));
    const ProfilePoint& p = line.points[i];
    const auto& r = records[i + 1];
    ASSERT_EQ(r.size(), 16u);
    EXPECT_EQ(r[0], std::to_string(p.zone));
    EXPECT_EQ(r[1], std::to_string(p.step));
    const std::vector<double> values{p.time,      p.positionInZone, p.position,  p.temp,
                                     p.weight1,   p.weight2,        p.residual1, p.residual2,
                                     p.fraction1, p.fraction2,      p.dryingCorrection};
    for (std::size_t c = 0; c < values.size(); ++c) {
      EXPECT_EQ(Number(r[c + 2]), values[c]) << ColumnTitle(*QuantitiesIn(InProfileCsv)[c + 2]);
    }
    // The judged values, and an empty field where the point has none.
    EXPECT_EQ(Number(r[13]), results.judgement.residualGrams[i]);
    EXPECT_EQ(Number(r[14]), results.judgement.residualPercent[i]);
    ASSERT_TRUE(results.judgement.boilingMargin[i].has_value());
    EXPECT_EQ(Number(r[15]), *results.judgement.boilingMargin[i]);
  }
  // The first record after the header is the entrance of zone 1 with the defaults.
  EXPECT_EQ(csv.substr(csv.find("\r\n") + 2, 13), "1,0,0,0,0,15,");
  // Zone 2 starts at 30 m along the line, its position in zone at 0.
  EXPECT_EQ(records[302][0], "2");
  EXPECT_EQ(records[302][1], "0");
  EXPECT_EQ(records[302][3], "0");
  EXPECT_EQ(records[302][4], "30");
  EXPECT_EQ(records.back()[4], "60");

  ScratchDir dir;
  WriteProfileCsv(dir.File("profile.csv"), results);
  EXPECT_EQ(FileBytes(dir.File("profile.csv")), csv);
}

}  // namespace
}  // namespace tovimar
