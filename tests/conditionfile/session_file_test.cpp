// The session file: what the window keeps between starts and in named sessions.
#include "conditionfile/session_file.h"

#include <gtest/gtest.h>

#include <string>

#include "conditionfile/line_file.h"
#include "input/field_catalogue.h"
#include "support/scratch_dir.h"

namespace tovimar {
namespace {

Session Sample() {
  Session s = DefaultSession();
  s.inputs.entries["Edit6"] = "3";
  s.inputs.entries["Edit31"] = "75.5";
  s.inputs.entries[std::string(SaveFileNameEntry)] = "fast run.txt";
  s.inputs.line.ZoneExhaustFlow[2] = 8000;
  s.inputs.line.ResidualTarget = 1.5;
  s.inputs.line.Optimise.objective = "max:LineSpeed";
  s.inputs.line.Optimise.variables = {"LineSpeed=0.1:3"};
  s.inputs.line.Fit.parameters = {"Keff"};
  SessionPin pin{"Speed 0.5", DefaultSession().inputs};
  pin.inputs.entries["Edit6"] = "0.5";
  pin.inputs.line.WebWidth = 1.6;
  s.pinned.push_back(pin);
  s.pinned.push_back({"baseline", DefaultSession().inputs});
  s.dataFile = "/data/line7.txt";
  s.sessionFile = "/data/line7 \xC3\xA9t\xC3\xA9.json";
  s.window = SessionWindow{40, -12, 1100, 800, true};
  return s;
}

void ExpectSame(const RunInputs& a, const RunInputs& b) {
  EXPECT_EQ(a.entries, b.entries);
  EXPECT_EQ(FormatLineSettings(a.line), FormatLineSettings(b.line));
}

TEST(SessionFile, ReadsBackWhatItWrites) {
  test_support::ScratchDir dir;
  const std::string path = dir.File("session.json");
  const Session written = Sample();
  WriteSessionFile(path, written);
  const Session read = ReadSessionFile(path);
  ExpectSame(read.inputs, written.inputs);
  ASSERT_EQ(read.pinned.size(), 2u);
  EXPECT_EQ(read.pinned[0].name, "Speed 0.5");
  ExpectSame(read.pinned[0].inputs, written.pinned[0].inputs);
  EXPECT_EQ(read.pinned[1].name, "baseline");
  EXPECT_EQ(read.dataFile, written.dataFile);
  EXPECT_EQ(read.sessionFile, written.sessionFile);
  ASSERT_TRUE(read.window);
  EXPECT_EQ(read.window->x, 40);
  EXPECT_EQ(read.window->y, -12);
  EXPECT_EQ(read.window->width, 1100);
  EXPECT_EQ(read.window->height, 800);
  EXPECT_TRUE(read.window->maximised);
  EXPECT_EQ(FormatSession(read), FormatSession(written));
}

// Entries by field name in the data file's order, the line settings as the line file writes
// them, and nothing that was not given.
TEST(SessionFile, FormatsEntriesByFieldNameAndTheLineAsTheLineFile) {
  Session s = DefaultSession();
  s.inputs.line.WebWidth = 1.25;
  const std::string text = FormatSession(s);
  EXPECT_EQ(text.substr(0, 65), "{\n  \"TovimarSession\": 1,\n  \"Entries\": {\n    \"PolymerCp\": \"1.47\",\n");
  EXPECT_NE(text.find("\n    \"ZoneAirTemp[2]\": \"60.0\",\n"), std::string::npos);
  EXPECT_NE(text.find("\n    \"ResultFileName\": \"result.txt\"\n  },\n  \"Line\": {\n    \"WebWidth\": 1.25,\n"),
            std::string::npos);
  for (const char* key : {"Pinned", "DataFile", "SessionFile", "Window"}) {
    EXPECT_EQ(text.find(key), std::string::npos) << key;
  }
  EXPECT_EQ(text.back(), '\n');
}

// Only the version is needed: every entry left out keeps a fresh window's text; entries may
// be named by their entry names too.
TEST(SessionFile, LeftOutKeysKeepTheDefaults) {
  const Session s = ParseSession(R"({"TovimarSession": 1, "Entries": {"Edit6": "2.5"}})");
  Session expected = DefaultSession();
  expected.inputs.entries["Edit6"] = "2.5";
  ExpectSame(s.inputs, expected.inputs);
  EXPECT_TRUE(s.pinned.empty());
  EXPECT_FALSE(s.window);
}

TEST(SessionFile, RefusesWhatItCannotRead) {
  struct Case {
    const char* json;
    const char* message;  // a part of the message
  };
  const Case cases[] = {
      {"not json", "It is not JSON"},
      {R"({"WebWidth": 1})", "It is not a session: it has no \"TovimarSession\" key."},
      {R"({"TovimarSession": 2})", "\"TovimarSession\" is 2: the session was written by a newer version"},
      {R"({"TovimarSession": "1"})", "\"TovimarSession\" must be a whole number from 1."},
      {R"({"TovimarSession": 1, "Zones": 3})", "\"Zones\" is not a key of a session."},
      {R"({"TovimarSession": 1, "Entries": {"Speed": "1"}})", "\"Entries\" names no entry: \"Speed\"."},
      {R"({"TovimarSession": 1, "Entries": {"LineSpeed": 1.0}})", "\"Entries.LineSpeed\" must be a text."},
      {R"({"TovimarSession": 1, "Entries": {"LineSpeed": "1", "Edit6": "2"}})",
       "gives an entry a second time."},
      {R"({"TovimarSession": 1, "Line": {"LEL1": 0}})", "\"Line\": \"LEL1\" must be greater than zero."},
      {R"({"TovimarSession": 1, "Pinned": {}})", "\"Pinned\" must be a list of pinned runs."},
      {R"({"TovimarSession": 1, "Pinned": [{"Entries": {}}]})", "\"Pinned[1].Name\" is missing."},
      {R"({"TovimarSession": 1, "Pinned": [{"Name": "a"}, {"Name": ""}]})", "\"Pinned[2].Name\" must not be empty."},
      {R"({"TovimarSession": 1, "Pinned": [{"Name": "a", "Line": {"LEL9": 1}}]})",
       "\"Pinned[1].Line\": Unknown key \"LEL9\""},
      {R"({"TovimarSession": 1, "Window": {"X": 1, "Y": 1, "Width": 0, "Height": 5}})",
       "\"Window\" needs a Width and a Height above 0."},
      {R"({"TovimarSession": 1, "Window": {"X": 1.5, "Width": 9, "Height": 5}})", "\"Window.X\" must be a whole number."},
      {R"({"TovimarSession": 1, "DataFile": 7})", "\"DataFile\" must be a text."},
  };
  for (const Case& c : cases) {
    try {
      ParseSession(c.json);
      ADD_FAILURE() << "accepted " << c.json;
    } catch (const SessionFileError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.json << "\n" << e.what();
    }
  }
}

TEST(SessionFile, NamesTheFileItCannotRead) {
  test_support::ScratchDir dir;
  const std::string path = dir.File("line.json");
  WriteLineFile(path, LineSettings{});
  try {
    ReadSessionFile(path);
    FAIL() << "a line file read as a session";
  } catch (const SessionFileError& e) {
    EXPECT_EQ(std::string(e.what()), "\"" + path + "\": It is not a session: it has no \"TovimarSession\" key.");
  }
  EXPECT_THROW(ReadSessionFile(dir.File("missing.json")), UserError);
}

// An entry's bytes from a data file need not be UTF-8: the session still writes, with U+FFFD
// for the byte it cannot read.
TEST(SessionFile, WritesTextThatIsNotUtf8) {
  Session s = DefaultSession();
  s.inputs.entries["Edit6"] = "1\xB5";
  EXPECT_EQ(ParseSession(FormatSession(s)).inputs.entries.at("Edit6"), "1\xEF\xBF\xBD");
}

}  // namespace
}  // namespace tovimar
