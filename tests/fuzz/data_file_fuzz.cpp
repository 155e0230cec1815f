// The data-file reader over arbitrary bytes as the file (NUL bytes, no line ends, very long
// lines, lone CRs, 0x1A, bytes above 0x7F), and the data-file writer over what it loaded,
// both in memory: the reader takes the bytes as its source, as it takes a file's.
//
// Invariants: the outcome is Loaded, or NotDataFile with its one message; a refused file
// changes no entry; a loaded one sets every enabled entry to the value of its line (checked
// against a separate reading of the bytes) and never changes a disabled entry; and what was
// loaded, written again as a data file, loads back to the same texts.
//
// Input: the bytes are the file. An input starting with 0xFE is a long-file case instead:
// the bytes after it, repeated to about 128 KiB (lines of more than one of the reader's 64 KiB
// pieces without a fuzzer input that large).

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "conditionfile/data_file.h"
#include "conditionfile/input_file.h"
#include "format/file_writer.h"
#include "fuzz_support.h"
#include "input/entry_texts.h"
#include "input/field_catalogue.h"

namespace {

using tovimar::fuzz::Quote;

constexpr std::size_t LongFileBytes = std::size_t{128} << 10;

// The name the bytes go by in messages.
const std::string DataFileName = "data file.txt";

enum class Load { Loaded, NotDataFile, Other };

// Loads `bytes` as the data file; the message of a refused file into `message`.
Load LoadBytes(std::string_view bytes, tovimar::EntryTexts& entries, std::string& message) {
  tovimar::TextSource source(bytes);
  try {
    tovimar::LoadDataFile(source, DataFileName, entries);
    return Load::Loaded;
  } catch (const tovimar::FileError& e) {
    message = e.what();
    return e.failure() == tovimar::FileError::Failure::BadContent ? Load::NotDataFile : Load::Other;
  }
}

// The data file's entries (its 120 fields and the Save File Name) in an array, with the
// window's enabled states and each text marked so that any change shows: what the
// window does with SetText (a disabled entry keeps its text), at the cost of a copy of
// short texts per input instead of building two maps.
class FlatEntries final : public tovimar::EntryTexts {
 public:
  FlatEntries() : texts_(Marked()) {}

  // Back to the marked texts, keeping the memory the texts already have.
  void Reset() {
    for (std::size_t i = 0; i < texts_.size(); ++i) texts_[i].assign(Marked()[i]);
    last_ = 0;
  }

  [[nodiscard]] std::string Text(std::string_view name) const override { return texts_[IndexOf(name)]; }
  [[nodiscard]] bool IsEnabled(std::string_view name) const override { return Enabled()[IndexOf(name)]; }
  void SetText(std::string_view name, std::string_view text) override {
    const std::size_t i = IndexOf(name);
    if (Enabled()[i]) texts_[i] = text;
  }

  [[nodiscard]] const std::vector<std::string>& Texts() const { return texts_; }

  // "before-<name>" for every entry, in the order of AllEntryNames().
  static const std::vector<std::string>& Marked() {
    static const std::vector<std::string> marked = [] {
      std::vector<std::string> texts;
      for (const std::string& name : Names()) texts.push_back("before-" + name);
      return texts;
    }();
    return marked;
  }

 private:
  static const std::vector<std::string>& Names() {
    static const std::vector<std::string> names = tovimar::AllEntryNames();
    return names;
  }
  static const std::vector<bool>& Enabled() {
    static const std::vector<bool> enabled = [] {
      const tovimar::MapEntryTexts window;
      std::vector<bool> flags;
      for (const std::string& name : Names()) flags.push_back(window.IsEnabled(name));
      return flags;
    }();
    return enabled;
  }
  // The reader and the checks go through the entries in order: the entry after the last one
  // named is tried before the index.
  std::size_t IndexOf(std::string_view name) const {
    const std::size_t next = last_ + 1 < Names().size() ? last_ + 1 : 0;
    if (Names()[next] == name) return last_ = next;
    if (Names()[last_] == name) return last_;
    static const std::unordered_map<std::string_view, std::size_t> index = [] {
      std::unordered_map<std::string_view, std::size_t> map;
      for (std::size_t i = 0; i < Names().size(); ++i) map.emplace(Names()[i], i);
      return map;
    }();
    const auto found = index.find(name);
    TOVIMAR_FUZZ_CHECK(found != index.end(), "the reader names an unknown entry " + Quote(name));
    return last_ = found->second;
  }

  std::vector<std::string> texts_;
  mutable std::size_t last_ = 0;
};

// A separate reading of the first 120 lines: the text ends at the first 0x1A; lines end at
// LF; a CR is never part of a line; a missing line is empty. A line is usable when it holds
// "="; its value is the first run of characters other than the space after the first "=".
struct ExpectedLine {
  bool hasEquals = false;
  std::string value;
};

// Into `lines` (kept from input to input with the memory of its texts).
TOVIMAR_FUZZ_NO_COVERAGE void ExpectedLines(std::string_view bytes, std::vector<ExpectedLine>& lines) {
  const std::size_t eot = bytes.find('\x1A');
  if (eot != std::string_view::npos) bytes = bytes.substr(0, eot);
  lines.resize(tovimar::DataFileLineCount);
  for (auto& line : lines) {
    line.hasEquals = false;
    line.value.clear();
  }
  std::size_t start = 0;
  static std::string text;
  for (auto& line : lines) {
    if (start > bytes.size()) break;
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    text.clear();
    for (std::size_t from = start; from < end;) {
      std::size_t cr = bytes.find('\r', from);
      if (cr == std::string_view::npos || cr > end) cr = end;
      text.append(bytes.substr(from, cr - from));
      from = cr + 1;
    }
    start = end + 1;
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) continue;
    line.hasEquals = true;
    const std::size_t first = text.find_first_not_of(' ', equals + 1);
    if (first == std::string::npos) continue;
    const std::size_t stop = text.find(' ', first);
    line.value.assign(text, first, stop == std::string::npos ? std::string::npos : stop - first);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // Kept from input to input, so that its memory is not allocated afresh each time.
  static std::string longFile;
  if (!bytes.empty() && static_cast<unsigned char>(bytes[0]) == 0xFE) {
    const std::string_view unit = bytes.substr(1);
    if (unit.empty()) return 0;
    longFile.assign(unit);
    while (longFile.size() < LongFileBytes) longFile += longFile;
    bytes = longFile;
  }

  // The entries, the expected lines and the written file are kept from input to input too.
  static FlatEntries entries;
  entries.Reset();
  std::string message;
  const Load result = LoadBytes(bytes, entries, message);
  const std::vector<std::string>& before = FlatEntries::Marked();
  const std::vector<std::string>& after = entries.Texts();

  static std::vector<ExpectedLine> expected;
  ExpectedLines(bytes, expected);
  bool usable = true;
  for (const ExpectedLine& line : expected) usable = usable && line.hasEquals;
  // Formed only for a failure message.
  const auto where = [bytes] { return "file " + Quote(bytes); };
  static const std::string refusal = "\"" + DataFileName + "\" is not a correct data file!";

  if (!usable) {
    TOVIMAR_FUZZ_CHECK(result == Load::NotDataFile, where() + ": not refused");
    TOVIMAR_FUZZ_CHECK(message == refusal,
                       where() + ": wrong message " + Quote(message));
    TOVIMAR_FUZZ_CHECK(after == before, where() + ": a refused file changed an entry");
    return 0;
  }

  TOVIMAR_FUZZ_CHECK(result == Load::Loaded, where() + ": not loaded: " + message);
  // The fields come first, in the file's order; the Save File Name after them.
  const auto& fields = tovimar::ConditionFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string& name = fields[i].entryName;
    const std::string& want = entries.IsEnabled(name) ? expected[i].value : before[i];
    TOVIMAR_FUZZ_CHECK(after[i] == want, where() + ": line " + std::to_string(i + 1) + " (" + name +
                                             ") holds " + Quote(after[i]) + ", expected " + Quote(want));
  }
  TOVIMAR_FUZZ_CHECK(after.back() == before.back(), where() + ": Save File Name changed");

  // What was loaded can be written as a data file and loads back unchanged.
  static std::string again;
  try {
    again = tovimar::FormatDataFile(entries);
  } catch (const std::exception& e) {
    TOVIMAR_FUZZ_CHECK(false, where() + ": loaded texts cannot be written: " + e.what());
  }
  static FlatEntries reloaded;
  reloaded.Reset();
  std::string reloadMessage;
  TOVIMAR_FUZZ_CHECK(LoadBytes(again, reloaded, reloadMessage) == Load::Loaded,
                     where() + ": the written data file does not load: " + reloadMessage);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (!entries.IsEnabled(fields[i].entryName)) continue;
    TOVIMAR_FUZZ_CHECK(reloaded.Texts()[i] == after[i],
                       where() + ": " + fields[i].entryName + " changed on the way through a data file");
  }
  return 0;
}
