#pragma once

#include <map>
#include <string>
#include <string_view>

namespace tovimar {

// The window's entries as the core sees them: the current text of an entry by name
// ("Edit12", "Edit250"), whether it is enabled, and setting its text. The desktop window
// implements it over its line edits; the batch tool and the tests over a map.
class EntryTexts {
 public:
  virtual ~EntryTexts() = default;
  [[nodiscard]] virtual std::string Text(std::string_view entryName) const = 0;
  [[nodiscard]] virtual bool IsEnabled(std::string_view entryName) const = 0;
  virtual void SetText(std::string_view entryName, std::string_view text) = 0;
};

// Entry texts held in a map, starting from the texts and enabled states of a fresh window.
class MapEntryTexts : public EntryTexts {
 public:
  MapEntryTexts();  // the window's defaults
  [[nodiscard]] std::string Text(std::string_view entryName) const override;
  [[nodiscard]] bool IsEnabled(std::string_view entryName) const override;
  void SetText(std::string_view entryName, std::string_view text) override;
  // Sets the text even of a disabled entry (for command-line overrides).
  void ForceText(std::string_view entryName, std::string_view text);

 private:
  std::map<std::string, std::string, std::less<>> texts_;
  std::map<std::string, bool, std::less<>> enabled_;
};

}  // namespace tovimar
