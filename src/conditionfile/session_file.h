#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input/run_inputs.h"
#include "model/errors.h"

namespace tovimar {

// A session: what the window holds, kept as one JSON file so that work outlives the program.
//
//   {
//     "TovimarSession": 1,
//     "Entries": {"CoatingWeight0": "0.0695", ..., "ResultFileName": "result.txt"},
//     "Line": {"WebWidth": 1.0, ..., "Optimise": {...}, "Fit": {...}},
//     "Pinned": [{"Name": "Run 1", "Entries": {...}, "Line": {...}}],
//     "DataFile": "/home/me/line7.txt",
//     "SessionFile": "/home/me/line7-session.json",
//     "Window": {"X": 120, "Y": 80, "Width": 727, "Height": 545, "Maximised": false}
//   }
//
// "Entries" holds the text of every entry by its field name (the names of --set and of the
// field catalogue; an entry name such as "Edit6" is read too); an entry left out keeps a
// fresh window's text. "Line" is the line file's object (conditionfile/line_file.h), read and
// written by the line file's own reader and writer. "Pinned" keeps each pinned run's name and
// inputs, from which the run is made again. "DataFile" names the data file last loaded,
// "SessionFile" the named session the window continues (both only in the session the window
// remembers by itself), "Window" the window's place on the screen (its client area).
// Every key but "TovimarSession" may be left out; any other key is refused.
inline constexpr int SessionFormatVersion = 1;

struct SessionWindow {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool maximised = false;
};

struct SessionPin {
  std::string name;
  RunInputs inputs;
};

struct Session {
  RunInputs inputs;  // every entry's text and the line settings
  std::vector<SessionPin> pinned;  // in the order they were pinned
  std::string dataFile;      // empty: none
  std::string sessionFile;   // empty: none
  std::optional<SessionWindow> window;
};

// A session's content that cannot be read; the message names the key.
class SessionFileError : public UserError {
 public:
  explicit SessionFileError(const std::string& message) : UserError(ErrorKind::Input, message) {}
};

// The session with the entries and line settings of a fresh window and nothing else.
Session DefaultSession();

// The session of the JSON text `json`; throws SessionFileError.
Session ParseSession(std::string_view json);

// The JSON text of `session` (two-space indents, a final line end); parsing it gives back the
// same session. An entry's text that is not UTF-8 (bytes from a data file) is written with
// U+FFFD in place of each byte that cannot be read; a set-up's text that is not UTF-8 makes
// it throw LineFileError, as the line file's writer does.
std::string FormatSession(const Session& session);

// The session in the file at `path`. Throws UserError (ErrorKind::File) when it cannot be
// read and SessionFileError, with the file named, when its content is refused.
Session ReadSessionFile(const std::string& path);

// Writes FormatSession(session) through WriteTextFile; throws FileError.
void WriteSessionFile(const std::string& path, const Session& session);

}  // namespace tovimar
