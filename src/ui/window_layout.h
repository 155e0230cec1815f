#pragma once

#include <array>
#include <string_view>
#include <vector>

namespace tovimar::ui {

// Where the controls of the main window stand: positions within a page (left, top, width,
// height in pixels). Captions, defaults and enabled states come from the field catalogue;
// this table only places groups and rows.
struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
};

// The size of the window's layout: the smallest the window gets on a screen that holds it.
inline constexpr int LayoutWidth = 727;
inline constexpr int LayoutHeight = 545;

// The height of the notebook's tabs, whatever face the tab font resolves to: the pages get
// the rest of the layout's height, so their height does not follow the tab font's line
// height (a taller face would otherwise push the controls at the pages' bottoms out).
inline constexpr int TabHeight = 26;

// Every field is a row: a sunken caption strip with the entry at its right end.
inline constexpr int RowPitch = 23;       // from one row's top to the next
inline constexpr int RowHeight = 22;      // the caption strip
inline constexpr int EntryHeight = 21;
inline constexpr int AntoineRowHeight = 28;  // the strip that spells out the vapour pressure
inline constexpr int FirstRowTop = 18;    // the first row below a group's caption
inline constexpr int GroupInset = 6;      // strips start this far inside a group's sides
inline constexpr int ZoneEntryWidth = 64;

// The notebook's pages.
inline constexpr int ZonePage1 = 0;
inline constexpr int ZonePage2 = 1;
inline constexpr int ZonePage3 = 2;
inline constexpr int GeneralPage = 3;

// The group of one zone: page, object name and position.
struct ZoneGroupPlace {
  int zone;
  int page;
  std::string_view objectName;
  Rect rect;
};

inline constexpr std::array<ZoneGroupPlace, 14> ZoneGroups{{
    {1, ZonePage1, "GroupBox1", {8, 8, 340, 322}},
    {2, ZonePage1, "GroupBox2", {9, 343, 340, 163}},
    {3, ZonePage2, "GroupBox7", {15, 13, 336, 160}},
    {4, ZonePage2, "GroupBox8", {15, 177, 336, 160}},
    {5, ZonePage2, "GroupBox11", {14, 340, 336, 160}},
    {6, ZonePage2, "GroupBox12", {364, 12, 336, 160}},
    {7, ZonePage2, "GroupBox13", {364, 174, 336, 160}},
    {8, ZonePage2, "GroupBox14", {365, 340, 336, 160}},
    {9, ZonePage3, "GroupBox15", {15, 11, 336, 160}},
    {10, ZonePage3, "GroupBox16", {15, 176, 336, 160}},
    {11, ZonePage3, "GroupBox17", {14, 339, 336, 160}},
    {12, ZonePage3, "GroupBox18", {364, 11, 336, 160}},
    {13, ZonePage3, "GroupBox19", {364, 174, 336, 160}},
    {14, ZonePage3, "GroupBox20", {365, 339, 336, 160}},
}};

// The line under the zone groups that counts the active zones, on each zone page, and the
// height of the copy button in a zone group's caption line (above its first row).
inline constexpr std::array<Rect, 3> ActiveZonesRects{{
    {356, 503, 358, 14}, {15, 503, 686, 14}, {15, 503, 686, 14}}};
inline constexpr int CopyButtonHeight = 16;

// The other controls of the first page.
inline constexpr Rect PicturePanelRect{353, 12, 361, 139};
inline constexpr Rect AccuracyGroupRect{357, 161, 347, 53};
inline constexpr std::string_view AccuracyEntry = "Edit20";  // Increment of z
inline constexpr Rect InputDataRect{372, 227, 137, 31};
inline constexpr Rect SaveFileGroupRect{540, 221, 142, 44};
inline constexpr Rect SaveFileEntryRect{8, 17, 126, 21};  // within its group
inline constexpr Rect DriveComboRect{371, 273, 159, 19};
inline constexpr Rect DirectoryListRect{371, 298, 158, 153};
inline constexpr Rect FileListRect{546, 273, 154, 175};
inline constexpr Rect RunButtonRect{409, 461, 110, 41};
inline constexpr Rect CloseButtonRect{556, 460, 110, 41};

// The group of the fourth page and its sub-groups.
inline constexpr Rect GeneralGroupRect{10, 4, 700, 505};

// A column of rows inside a sub-group: left edge and width of its strips, and the width of
// their entries.
struct ColumnPlace {
  int x;
  int width;
  int entryWidth;
};

// One row of a sub-group. The vapour-pressure row names its three entries (A, B, C) and
// is laid out by its texts; a row after it in the same line starts where it ends.
struct GeneralRow {
  std::string_view entry;
  int column;  // index into the sub-group's columns
  int row;     // 1 = top
  std::string_view antoineB = {};
  std::string_view antoineC = {};

  [[nodiscard]] bool IsAntoine() const { return !antoineB.empty(); }
};

struct GeneralSubGroup {
  std::string_view objectName;
  std::string_view caption;
  Rect rect;  // within the group "  General  "
  std::vector<ColumnPlace> columns;
  std::vector<GeneralRow> rows;  // in Tab order
};

// The five sub-groups, top to bottom.
const std::vector<GeneralSubGroup>& GeneralSubGroups();

// The texts between the entries of a vapour-pressure row: before A, between A and B,
// between B and C, after C.
inline constexpr std::array<std::string_view, 4> AntoineTexts{
    "  Vapor Pressure (mmHg)  log10 Ps = ", "- (", "/( T + ", " )) "};

}  // namespace tovimar::ui
