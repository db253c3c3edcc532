#include "tools/chunks/join_options.h"

void DefineJoinOptions(CLI::App& app, JoinRequest& request, std::string& output) {
  app.description(
      "Joins segments drawn by quorvane-capture --chunk I/N into one output, as one run of\n"
      "their range would have written it. The segments must tile the range they are chunks\n"
      "of, with no gap and no overlap, and agree in version, size, fps and encoder settings.\n"
      "Video is joined by stream copy, and RX_muc.mp3 from this folder is muxed in once, from\n"
      "the range's first sample; frames are linked into the new folder.");
  app.add_option("OUTPUT", output, "NAME.mp4 for video segments, NAME/ for segments of frames")
      ->required();
  app.add_option("SEGMENTS", request.segments,
                 "the segments, in any order, each with its manifest beside it (SEGMENT.json)")
      ->required();
  app.add_flag("-y,--force", request.force, "replace an existing OUTPUT");
  app.add_flag("-q,--quiet", request.quiet, "no summary when done");
  app.footer(
      "Nothing is written when a segment is missing, unfinished, cut short or does not fit;\n"
      "the message names it. The output appears under its name only when it is complete.\n"
      "Exit status: 0 done, 1 failed, 2 bad arguments, 128 + signal when stopped.");
}
