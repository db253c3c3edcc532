// The join's command line on any arguments: it must parse or refuse, and
// what it accepts must name segments and an output whose kind is the one its
// name asks for, named so that it reads back the same.
#include "tests/support/fuzz_arguments.h"
#include "tests/support/fuzz_target.h"
#include "tools/chunks/join_options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const FuzzArguments arguments = SplitArguments("quorvane-join", data, size);
  JoinRequest request;
  std::string output;
  CLI::App app{"", "quorvane-join"};
  DefineJoinOptions(app, request, output);
  bool help = false;
  if (!ParseArguments(app, arguments.argc(), arguments.argv.data(), help) || help) return 0;
  FuzzExpect(!request.segments.empty(), "no segment, yet accepted");
  if (!ClassifyOutput(output, request.kind, request.output)) return 0;
  const bool video = output.size() > 4 && output.compare(output.size() - 4, 4, ".mp4") == 0;
  FuzzExpect(request.kind == OutputKind::kFrames || video, "a video not named NAME.mp4");
  FuzzExpect(!request.output.empty() && (request.output == "/" || request.output.back() != '/'),
             "an output path left empty or ending in '/'");
  // The name as the tools hand it on (a folder with its '/') means the same.
  const std::string named = OutputArgument(request.output, request.kind);
  JoinRequest again;
  FuzzExpect(ClassifyOutput(named, again.kind, again.output) && again.kind == request.kind &&
                 again.output == request.output,
             "an output reads otherwise once named again");
  return 0;
}
