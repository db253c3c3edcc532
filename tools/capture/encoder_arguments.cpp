#include "tools/capture/encoder_arguments.h"

#include "tools/capture/frame_schedule.h"

namespace {

// The arguments stay in option-value pairs.
// clang-format off
void AddMusic(std::vector<std::string>& arguments, int fps, int64_t first, int64_t last) {
  // Audio placed by sample index, as the video is by frame index, so they
  // cannot drift apart however long the capture.
  const int64_t start = AudioSampleAtFrame(first - 1, fps, kMusicSampleRate);
  const int64_t end = AudioSampleAtFrame(last, fps, kMusicSampleRate);
  const std::string rate = std::to_string(kMusicSampleRate);
  arguments.insert(arguments.end(),
                   {"-map", "1:a", "-af",
                    "aresample=" + rate + ",atrim=start_sample=" + std::to_string(start) +
                        ":end_sample=" + std::to_string(end) +
                        ",asetpts=N/SR/TB,apad=whole_len=" + std::to_string(end - start),
                    "-c:a", "aac", "-b:a", "192k"});
}

std::vector<std::string> Start(const char* musicFile, std::vector<std::string> video) {
  std::vector<std::string> arguments = {"ffmpeg", "-hide_banner", "-nostdin", "-loglevel", "error",
                                        "-y"};
  arguments.insert(arguments.end(), video.begin(), video.end());
  // The music is taken as MP3 whatever its bytes, as the piece takes it.
  if (musicFile != nullptr) arguments.insert(arguments.end(), {"-f", "mp3", "-i", musicFile});
  return arguments;
}

void Finish(std::vector<std::string>& arguments, const std::string& path) {
  arguments.insert(arguments.end(), {"-movflags", "+faststart", "-f", "mp4", path});
}

}  // namespace

std::vector<std::string> EncoderArguments(const CaptureOptions& options, const std::string& path,
                                          const char* musicFile, int64_t first, int64_t last) {
  const bool segment = options.chunkCount > 0;
  std::vector<std::string> arguments = Start(segment ? nullptr : musicFile, {
      "-f", "rawvideo", "-pix_fmt", "rgba",
      "-video_size", std::to_string(options.width) + "x" + std::to_string(options.height),
      "-framerate", std::to_string(options.fps), "-i", "pipe:0"});
  // vflip only turns the row stride around: GL's bottom-up rows cost no copy.
  arguments.insert(arguments.end(),
                   {"-map", "0:v", "-vf", "vflip,scale=out_color_matrix=bt709:out_range=tv",
                    "-c:v", "libx264", "-preset", options.preset,
                    "-crf", std::to_string(options.crf), "-pix_fmt", "yuv420p",
                    "-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709",
                    "-color_range", "tv"});
  if (options.encoderThreads > 0)
    arguments.insert(arguments.end(), {"-threads", std::to_string(options.encoderThreads)});
  if (musicFile != nullptr && !segment) AddMusic(arguments, options.fps, first, last);
  Finish(arguments, path);
  return arguments;
}

std::vector<std::string> JoinArguments(const std::string& listFile, int fps, const std::string& path,
                                       const char* musicFile, int64_t first, int64_t last) {
  std::vector<std::string> arguments =
      Start(musicFile, {"-f", "concat", "-safe", "0", "-i", listFile});
  arguments.insert(arguments.end(), {"-map", "0:v", "-c:v", "copy"});
  if (musicFile != nullptr) AddMusic(arguments, fps, first, last);
  Finish(arguments, path);
  return arguments;
}
// clang-format on
