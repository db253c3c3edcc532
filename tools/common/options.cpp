#include "tools/common/options.h"

#include <cstdio>
#include <sstream>

#include "build_info.h"
#include "base/parse_number.h"
#include "tools/common/tool_report.h"

namespace {

std::string Number(double value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

}  // namespace

CLI::Validator WholeNumberFrom(long low, long high) {
  const std::string wanted =
      "must be a whole number from " + std::to_string(low) + " to " + std::to_string(high);
  return CLI::Validator(
      [low, high, wanted](std::string& text) -> std::string {
        long long value = 0;
        if (!ParseWhole(text, value) || value < low || value > high)
          return wanted + ", not '" + text + "'";
        return {};
      },
      "INTEGER " + std::to_string(low) + ".." + std::to_string(high));
}

CLI::Validator SecondsFrom(double low, double high) {
  const std::string wanted = "must be a number of seconds from " + Number(low) +
                             (high < 0.0 ? " up" : " to " + Number(high));
  return CLI::Validator(
      [low, high, wanted](std::string& text) -> std::string {
        double value = 0.0;
        if (!ParseDecimal(text, value) || value < low || (high >= 0.0 && value > high))
          return wanted + ", not '" + text + "'";
        return {};
      },
      "SECONDS");
}

Result ParseArguments(CLI::App& app, int argc, const char* const* argv, bool& help) {
  help = false;
  try {
    app.parse(argc, argv);
  } catch (const CLI::Success&) {  // --help or --version
    help = true;
  } catch (const CLI::ParseError& e) {
    return Fail(e.what());
  }
  return {};
}

void ReportBadArguments(const std::string& error) {
  ReportFailure(error + "\nTry '" + ToolName() + " --help'.");
}

CommandLine ParseCommandLine(CLI::App& app, int argc, const char* const* argv) {
  const std::string version = std::string(ToolName()) + " " + kQuorvaneVersion;
  const CLI::Option* versionFlag =
      app.set_version_flag("--version", version, "Print the version and exit");
  bool help = false;
  if (Result parsed = ParseArguments(app, argc, argv, help); !parsed) {
    ReportBadArguments(parsed.error);
    return CommandLine::kBadArguments;
  }
  if (!help) return CommandLine::kRun;
  std::fputs(versionFlag->count() > 0 ? (version + "\n").c_str() : app.help().c_str(), stdout);
  return CommandLine::kAnswered;
}
