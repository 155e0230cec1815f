#include "batch_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <utility>

#include "batch_fit.h"
#include "batch_optimise.h"
#include "study/design.h"

namespace tovimar::batch {

namespace {

constexpr const char* Description =
    "Simulates the drying of a coated film through up to 14 dryer zones and writes the result\n"
    "file, as the desktop program's Run button does, without a window.";

constexpr const char* Footer = R"(How the conditions are formed, in this order:
  1. They start from the texts a fresh desktop window shows (two zones of 30 m).
  2. The data file (--data FILE or DATAFILE) is loaded exactly as the window's "Input Data
     File" button loads it: each of its first 120 lines must hold "=", and the first word
     after the "=" of line i becomes the text of the i-th entry. The eight entries the
     window keeps disabled (heats of vaporization, vapour-pressure constants) are left
     alone.
  3. Every --set NAME=TEXT is applied, in the order given.
  4. -o FILE sets the Save File Name (it wins over --set Edit250=...).
  5. --write-data FILE writes the entry texts as a 120-line data file, and --write-line
     FILE the line settings (JSON), with the materials named and their values changed
     after the pick (with --optimise the best point's, with --fit the fitted ones).
  6. The run reads the conditions exactly as the window's Run button does, marches every
     active zone and writes the result file (default: the Save File Name, "result.txt",
     relative to the current directory).

NAME is an entry name of the window (Edit1 to Edit13, Edit20, Edit21 to Edit146,
Edit201 to Edit241, Edit250) or the field it feeds (CoatingWeight0, LineSpeed,
StepLength, ZoneAirTemp[3], ZoneLength[1], ..., ResultFileName for the Save File Name).
An empty TEXT empties the entry; an empty Outer Temperature ends the zone chain.
Unlike the window and the data file, --set also changes the eight disabled entries.

Materials: --set Solvent1=KEY, --set Solvent2=KEY and --set Polymer=KEY take a material
of the materials library (--list-materials lists the keys): a solvent sets its
vapour-pressure constants, heat of vaporization, specific heat, density, molecular weight,
diffusivity in air and LEL; the polymer its density and, where the library has them, its
specific heat and molecular weight (a property it lacks keeps its value, with a warning).
Where the library has them, a pick also sets the diffusion model's free-volume parameters
(HoleVolume1, K1Gamma1, K2MinusTg1, ...Polymer) and, with the other materials named, the
pair's Xi1, D0_1, ActivationEnergy1 and Chi1p (2 for Solvent-2). They apply in
command-line order, so a later --set of one field still overrides it; the line file
(--write-line) keeps the names and the values changed after the pick. A design's column
Solvent1, Solvent2 or Polymer picks its material for each run the same way. The
library is the shipped materials.json and the user's own,
$XDG_DATA_HOME/tovimar/materials.json (default ~/.local/share/tovimar/materials.json).
A data file's values for the eight disabled entries are not loaded; where they differ from
the ones in use after every --set, a warning says so.

--csv FILE writes, after a completed run, the whole profile as CSV (RFC 4180: CR LF line
ends, a header record): one record per step of every zone with the zone, the step, the
time, the position in the zone and along the line, the web temperature, the solvent
weights, residual ratios and weight fractions and the drying-speed correction. Numbers
have a point and as many digits as reading them back exactly needs. A run that does not
complete writes no CSV.

Sweeps: --sweep NAME=FROM:TO:STEP runs the simulation once for each value FROM,
FROM+STEP, FROM+2*STEP, ... up to and including TO. NAME is as for --set, a numeric
condition only; value i is formed as FROM + i*STEP (never by adding STEP up) and given
to the entry in its shortest exact form. A second --sweep makes a grid: every value of
the first with every value of the second, the second varying fastest. The runs are
spread over all processor cores (--jobs N sets how many). No result file is written
unless --sweep-results DIR is given: DIR/result-0001.txt, ... by run number (DIR is
created if need be). The summary (--summary FILE, default standard output) is CSV with
one record per run, in run order: the run number, the swept values, the outcome
("completed", "stopped at input", "file not opened", "write failed" or "arithmetic
fault") and its message, and the web temperature and residual ratios at the end of the
line and at the exit of each zone. A run that does not complete is reported in its
record and on standard error, and the sweep goes on. -o, --csv and --write-data cannot
be combined with --sweep.

With --write-data and without --run, the data file is written and nothing is run. A
value in a data file ends at its first space, so a text holding a space (or a line
break) cannot be saved: --write-data then writes nothing and exits with status 3.

Fitting: --fit NAME --fit NAME ... --measured FILE fits the named physical conditions
(NAME as for --set, but not the Increment of z, a line setting or the Save File Name;
NAME=LOWER:UPPER, NAME=LOWER: or NAME=:UPPER bound it) so that the
model, interpolated linearly along the line, matches the measurements in FILE in the
weighted least-squares sense. FILE is CSV with the profile CSV's column titles: the
position along the line (m) and any of web temperature (C), solvent-1 residual ratio,
solvent-2 residual ratio, solvent-1 weight (kg/m2) and solvent-2 weight (kg/m2), written
as in the profile CSV; empty cells are allowed. Each difference is divided by its
quantity's standard deviation: 1 K, 0.01 for the ratios and 0.001 kg/m2 unless --sd
NAME=VALUE says otherwise (NAME a column title or WebTemp, Residual1, Residual2,
Solvent1Weight, Solvent2Weight). Standard output gets NAME=VALUE ± HALFWIDTH UNIT (95 %)
for each parameter, one a line, the value to 4 significant digits or down to the interval's
second digit (NAME=VALUE UNIT (undetermined) for one the measurements do not depend on
beyond rounding, or cannot tell apart from the others; --write-data keeps the values to a
part in 10^9), then the residual RMS
of each quantity, the number of runs and warnings (parameters the data cannot tell
apart). With --write-data the entries with the fitted values are saved once the fit has
converged, with --write-line FILE the line settings with the drying model's fitted
parameters (D0_1, ...). A fit that cannot start exits with 3; a residual, sum of squares or interval
that is not a finite number makes a fit that did not converge (8).

Messages go to standard error; a completed run prints nothing.

Exit status:
  0  completed: the run (with --write-data alone: the data file was written); with
     --sweep or --design every run; with --optimise a point within every limit was
     found; with --fit the fit converged
  1  an unexpected internal error
  2  usage: an unknown option or NAME, a --set without "=", two data files, a --sweep
     that is not NAME=FROM:TO:STEP or gives no value, more than two --sweep, an option
     that would be ignored beside the others (-o, --csv, --summary or --write-data with
     --design, --report with --design or --sweep, --csv without a run, ...: the message
     says which and why), a design whose header or record does not fit, or two of the
     files the command reads or writes (the data file, --line, --measured, --design, -o
     or the Save File Name, --write-data, --write-line, --csv, --summary, --report, a
     result file of --sweep-results) that are one and the same file
  3  stopped while reading the conditions: an input message ("Input value is not
     correct!", "Input Save File Name!", "Input value of Zone k is not correct!"), an
     Outer Temperature that is not a number, a zone with more than 1999 steps or a
     negative step count, a line file or measurement file whose content is refused,
     or a text --write-data cannot save
  4  a file problem: an input (the data file, --line, --measured, --design) is missing,
     unreadable, a directory, a device or a named pipe with no writer ("... can not
     open!" with the path and the reason), or holds a line longer than 16 MiB (a line
     file longer than 16 MiB, a data file whose 120 lines hold more than 64 MiB in all);
     the data file is not a data file (a line without "="); the result file (or another
     output, or the --sweep-results directory) could not be opened (read-only, a loop of
     symbolic links, a missing directory: refused before anything is written), was
     locked by another run, or could not be written (a full disk, a file-size limit);
     standard output could not be written ("standard output: REASON")
  5  an arithmetic fault: a zero speed, a zero solvent ratio, a zero Increment of z, ...
  6  the model does not hold: an unstable integration step or a boiling coating
  7  --optimise found no point within every limit (the nearest point is printed)
  8  --fit: the fit did not converge (the values reached are printed)
With --sweep or --design, a run that did not complete gives
the status of the first such run in run order (4 when the --sweep-results directory
cannot be written); the summary, written record by record as the runs finish, gives the
outcome of every run.)";

}  // namespace

void AddOptions(CLI::App& app, BatchOptions& options) {
  app.description(Description);
  app.footer(Footer);
  app.get_formatter()->column_width(28);

  app.add_option("DATAFILE", options.positionalDataFile,
                 "Data file to load (the same as --data)");
  app.add_option("--data", options.dataFile, "Data file to load before the --set options")
      ->type_name("FILE");
  app.add_option("--set", options.settings,
                 "Set the text of an entry (repeatable); NAME as described below")
      ->type_name("NAME=TEXT")
      ->allow_extra_args(false)
      ->take_all();
  app.add_option("-o,--output", options.resultFile,
                 "Result file (sets the Save File Name; default result.txt)")
      ->type_name("FILE");
  app.add_option("--write-data", options.writeDataFile,
                 "Write the entry texts as a data file; runs only with --run")
      ->type_name("FILE");
  app.add_flag("--run", options.run, "Run the simulation also when --write-data is given");
  app.add_option("--csv", options.csvFile,
                 "After a completed run, write the whole profile as CSV")
      ->type_name("FILE");
  app.add_option("--depth-csv", options.depthCsvFile,
                 "After a completed diffusion run, write the profile through the coating at every "
                 "zone exit as CSV")
      ->type_name("FILE");
  app.add_option("--sweep", options.sweeps,
                 "Run once per value of NAME; a second --sweep gives a grid")
      ->type_name("NAME=FROM:TO:STEP")
      ->allow_extra_args(false)
      ->take_all();
  app.add_option("--sweep-results", options.sweepResults,
                 "With --sweep: write each run's result file into DIR")
      ->type_name("DIR");
  app.add_option("--summary", options.summaryFile,
                 "The summary CSV file (\"-\": standard output; a sweep's default)")
      ->type_name("FILE");
  app.add_option("--line", options.lineFile,
                 "Line settings to load (JSON: web width, exhaust flows, LELs, targets)")
      ->type_name("FILE");
  app.add_option("--design", options.design,
                 "Run every record of a CSV design (header: names as --set takes them; \"-\": "
                 "standard input) and write one summary record per run to standard output")
      ->type_name("FILE");
  app.add_flag("--no-header", options.noHeader, "With --design: write no header record");
  app.add_flag("--list-names", options.listNames,
               "List every input and output name with its caption and unit, and exit");
  app.add_flag("--list-materials", options.listMaterials,
               "List the solvents and polymers of the materials library, and exit");
  app.add_option("--jobs", options.jobs,
                 "With --sweep: runs at a time (default: one per processor core)")
      ->type_name("N")
      ->check(CLI::Range(1, 1024));
  // The printable report, written by tovimar-report (see batch_report.h).
  app.add_option("--report", options.reportFile,
                 "Write only the run's report as a PDF (run in memory by tovimar-report)")
      ->type_name("FILE.pdf");
  // Fitting to measurements.
  CLI::Option* fit = app.add_option("--fit", options.fits, "Fit a numeric condition to --measured (repeatable)")
      ->type_name("NAME[=LOWER:UPPER]")->allow_extra_args(false)->take_all();
  app.add_option("--measured", options.measuredFile, "With --fit: the measurements (CSV)")->type_name("FILE");
  // --fit-runs has a default, so only the parser can tell that it was given.
  app.add_option("--sd", options.standardDeviations, "With --fit: a quantity's standard deviation")
      ->type_name("NAME=VALUE")->allow_extra_args(false)->take_all()->needs(fit);
  app.add_option("--fit-runs", options.fitRuns, "With --fit: give up after N runs (default 400)")
      ->type_name("N")->check(CLI::Range(1, 1000000))->needs(fit);
  AddOptimiseOptions(app, options);
}

std::optional<std::string> DataFileOf(const BatchOptions& options, std::string& error) {
  if (!options.dataFile.empty() && !options.positionalDataFile.empty()) {
    error = "give one data file, either with --data or as DATAFILE, not both";
    return std::nullopt;
  }
  const std::string& file =
      options.dataFile.empty() ? options.positionalDataFile : options.dataFile;
  if (file.empty()) {
    return std::string();
  }
  return file;
}

std::optional<EntrySetting> ResolveSetting(std::string_view setting, std::string& error) {
  const std::size_t equals = setting.find('=');
  if (equals == std::string_view::npos) {
    error = "--set needs NAME=TEXT, got \"" + std::string(setting) + "\"";
    return std::nullopt;
  }
  const std::string_view name = setting.substr(0, equals);
  if (const std::optional<MaterialSlot> slot = FindMaterialSlot(name)) {
    EntrySetting material;
    material.text = std::string(setting.substr(equals + 1));
    material.material = slot;
    return material;
  }
  const std::optional<SettingName> found = FindSettingName(name);
  if (!found) {
    error = "--set: no entry or field named \"" + std::string(name) +
            "\" (tovimar-batch --list-names lists every name)";
    return std::nullopt;
  }
  EntrySetting resolved;
  resolved.text = std::string(setting.substr(equals + 1));
  resolved.entryName = found->entryName;
  if (resolved.entryName.empty()) resolved.lineAssignment = std::string(setting);
  return resolved;
}

bool RunRequested(const BatchOptions& options) {
  return !options.writeDataFile.has_value() || options.run;
}

namespace {

// The options given, in the order the help lists them. --run is implied by --optimise;
// --fit-runs and --sd are checked by the parser (they need --fit), and so are the options
// that need --optimise.
std::vector<std::string_view> GivenOptions(const BatchOptions& o) {
  const std::pair<bool, std::string_view> all[] = {
      {!o.positionalDataFile.empty(), "DATAFILE"},
      {!o.dataFile.empty(), "--data"},
      {!o.settings.empty(), "--set"},
      {o.resultFile.has_value(), "-o"},
      {o.writeDataFile.has_value(), "--write-data"},
      {o.writeLineFile.has_value() && !o.optimise, "--write-line"},
      {o.run && !o.optimise, "--run"},
      {o.csvFile.has_value(), "--csv"},
      {o.depthCsvFile.has_value(), "--depth-csv"},
      {!o.sweeps.empty(), "--sweep"},
      {o.sweepResults.has_value(), "--sweep-results"},
      {o.summaryFile.has_value(), "--summary"},
      {o.lineFile.has_value(), "--line"},
      {o.design.has_value(), "--design"},
      {o.noHeader, "--no-header"},
      {o.jobs != 0, "--jobs"},
      {o.reportFile.has_value(), "--report"},
      {!o.fits.empty(), "--fit"},
      {o.measuredFile.has_value(), "--measured"},
      {o.optimise, "--optimise"},
      {o.listNames, "--list-names"},
      {o.listMaterials, "--list-materials"},
  };
  std::vector<std::string_view> given;
  for (const auto& [present, name] : all) {
    if (present) given.push_back(name);
  }
  return given;
}

// An option that runs the tool in a way of its own, the options that would be ignored
// beside it, and why.
struct Exclusion {
  std::string_view option;
  std::vector<std::string_view> others;  // empty: every other option
  std::string_view why;
};

const std::vector<Exclusion>& Exclusions() {
  static const std::vector<Exclusion> exclusions{
      {"--list-names", {}, "it lists the names and exits"},
      {"--list-materials", {}, "it lists the materials and exits"},
      {"--design",
       {"-o", "--csv", "--depth-csv", "--summary", "--write-data", "--sweep", "--optimise", "--fit", "--measured",
        "--report"},
       "a design runs each record in memory and writes only its summary records to standard output"},
      {"--sweep",
       {"-o", "--csv", "--depth-csv", "--write-data", "--fit", "--measured", "--report"},
       "a sweep writes only its summary and, with --sweep-results, each run's result file (see --help)"},
      {"--optimise", {"--fit", "--measured"}, "a search and a fit are separate commands"},
  };
  return exclusions;
}

bool Has(const std::vector<std::string_view>& given, std::string_view option) {
  return std::find(given.begin(), given.end(), option) != given.end();
}

}  // namespace

std::optional<std::string> IgnoredOption(const BatchOptions& options) {
  const std::vector<std::string_view> given = GivenOptions(options);
  for (const Exclusion& exclusion : Exclusions()) {
    if (!Has(given, exclusion.option)) continue;
    for (const std::string_view other : given) {
      if (other == exclusion.option) continue;
      if (exclusion.others.empty() || Has(exclusion.others, other)) {
        return std::string(other) + " cannot be combined with " + std::string(exclusion.option) + ": " +
               std::string(exclusion.why);
      }
    }
  }
  // The report of a search or a fit is that of its best or fitted run, which writes the
  // search's or the fit's files; alone, it is the report of the run in memory and nothing else.
  if (options.reportFile && !options.optimise && !FitRequested(options)) {
    for (const std::string_view other : {"-o", "--csv", "--depth-csv", "--summary", "--write-data", "--write-line"}) {
      if (Has(given, other)) {
        return std::string(other) +
               " cannot be combined with --report: the report's run is made in memory and only the "
               "report is written (with --optimise or --fit it reports the best or the fitted run)";
      }
    }
  }
  if (options.noHeader && !options.design) {
    return "--no-header needs --design";
  }
  // A data file holds the entries only: line settings given for it alone would be dropped.
  if (!RunRequested(options) && !FitRequested(options) && !options.writeLineFile) {
    if (options.lineFile) {
      return "--line cannot be combined with --write-data alone: a data file holds no line settings "
             "(add --run to run with them)";
    }
    for (const std::string& setting : options.settings) {
      const std::optional<SettingName> name = FindSettingName(setting.substr(0, setting.find('=')));
      if (name && name->entryName.empty()) {
        return "--set " + setting +
               " cannot be combined with --write-data alone: a data file holds no line settings "
               "(add --run to run with it)";
      }
    }
  }
  return std::nullopt;
}

}  // namespace tovimar::batch
