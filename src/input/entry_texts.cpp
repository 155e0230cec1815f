#include "input/entry_texts.h"

#include <stdexcept>

#include "input/field_catalogue.h"

namespace tovimar {

MapEntryTexts::MapEntryTexts() {
  for (const ConditionField& f : ConditionFields()) {
    texts_.emplace(f.entryName, f.defaultText);
    enabled_.emplace(f.entryName, f.enabled);
  }
  texts_.emplace(std::string(SaveFileNameEntry), std::string(SaveFileNameDefault));
  enabled_.emplace(std::string(SaveFileNameEntry), true);
}

std::string MapEntryTexts::Text(std::string_view entryName) const {
  auto it = texts_.find(entryName);
  if (it == texts_.end()) {
    throw std::out_of_range("no entry named " + std::string(entryName));
  }
  return it->second;
}

bool MapEntryTexts::IsEnabled(std::string_view entryName) const {
  auto it = enabled_.find(entryName);
  if (it == enabled_.end()) {
    throw std::out_of_range("no entry named " + std::string(entryName));
  }
  return it->second;
}

void MapEntryTexts::SetText(std::string_view entryName, std::string_view text) {
  if (IsEnabled(entryName)) {
    texts_.find(entryName)->second = std::string(text);
  }
}

void MapEntryTexts::ForceText(std::string_view entryName, std::string_view text) {
  (void)IsEnabled(entryName);  // refuses an unknown name
  texts_.find(entryName)->second = std::string(text);
}

}  // namespace tovimar
