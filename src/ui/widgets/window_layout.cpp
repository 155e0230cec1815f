#include "ui/widgets/window_layout.h"

namespace tovimar::ui {

const std::vector<GeneralSubGroup>& GeneralSubGroups() {
  static const std::vector<GeneralSubGroup> groups{
      {"GroupBox3",
       "Fitting Parameter",
       {9, 18, 654, 126},
       {{GroupInset, 318, 52}, {330, 318, 52}},
       {{"Edit201", 0, 1},
        {"Edit202", 0, 2},
        {"Edit203", 0, 3},
        {"Edit204", 0, 4},
        {"Edit205", 1, 1},
        {"Edit206", 1, 2},
        {"Edit207", 1, 3},
        {"Edit208", 1, 4}}},
      {"GroupBox4",
       "  Solid (Polymer)",
       {9, 153, 678, 51},
       {{GroupInset, 220, 62}, {230, 220, 62}, {454, 218, 62}},
       {{"Edit211", 0, 1}, {"Edit212", 1, 1}, {"Edit213", 2, 1}}},
      {"GroupBox5",
       "  Solvent-1 ",
       {9, 206, 677, 109},
       {{GroupInset, 356, 88}, {366, 305, 60}},
       {{"Edit221", 0, 1},
        {"Edit222", 1, 1},
        {"Edit223", 0, 2},
        {"Edit227", 1, 2},
        {"Edit224", 0, 3, "Edit225", "Edit226"},
        {"Edit228", 1, 3}}},
      {"GroupBox6",
       "  Solvent-2  ",
       {8, 324, 678, 113},
       {{GroupInset, 356, 88}, {366, 306, 60}},
       {{"Edit231", 0, 1},
        {"Edit232", 1, 1},
        {"Edit233", 0, 2},
        {"Edit237", 1, 2},
        {"Edit234", 0, 3, "Edit235", "Edit236"},
        {"Edit238", 1, 3}}},
      {"GroupBox9",
       "  Base Film  ",
       {7, 442, 678, 52},
       {{GroupInset, 356, 60}},
       {{"Edit241", 0, 1}}},
  };
  return groups;
}

}  // namespace tovimar::ui
