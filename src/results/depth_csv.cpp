#include "results/depth_csv.h"

#include "format/csv.h"
#include "format/file_writer.h"

namespace tovimar {

std::string FormatDepthCsv(const RunResults& results, const std::vector<DepthProfile>& exits) {
  std::string out;
  const char* titles[] = {"position along the line (m)", "height above the base film (fraction of the thickness)",
                          "solvent-1 weight fraction", "solvent-2 weight fraction"};
  for (const char* title : titles) {
    if (title != titles[0]) out += ',';
    AppendCsvField(out, title);
  }
  EndCsvRecord(out);
  for (const DepthProfile& exit : exits) {
    const auto zone = static_cast<std::size_t>(exit.zone);
    if (zone < 1 || zone > results.line.zones.size()) continue;
    const double position = results.line.zones[zone - 1].exitPosition;
    for (const DepthPoint& node : exit.nodes) {
      AppendCsvNumber(out, position);
      for (const double v : {node.height, node.w[0], node.w[1]}) {
        out += ',';
        AppendCsvNumber(out, v);
      }
      EndCsvRecord(out);
    }
  }
  return out;
}

void WriteDepthCsv(const std::string& path, const RunResults& results, const std::vector<DepthProfile>& exits) {
  WriteTextFile(path, FormatDepthCsv(results, exits), "depth profile CSV file");
}

}  // namespace tovimar
