#include "tools/capture/music_probe.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <string>

#include "tools/common/child_process.h"

MusicState ProbeMusic(const char* path) {
  struct stat info {};
  if (stat(path, &info) != 0) return MusicState::kMissing;
  if (!S_ISREG(info.st_mode)) return MusicState::kNotAFile;

  ChildSetup quiet;
  quiet.input = quiet.output = quiet.errors = kNullDevice;
  pid_t pid = -1;
  // Without ffmpeg the encoder's own start fails and says so.
  if (!StartChild({"ffmpeg", "-nostdin", "-v", "quiet", "-f", "mp3", "-i", path, "-map", "0:a:0",
                   "-f", "null", "-"},
                  quiet, pid))
    return MusicState::kUsable;
  const int status = WaitForChild(pid);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? MusicState::kUsable
                                                       : MusicState::kUndecodable;
}

const char* DescribeMusicState(MusicState state) {
  switch (state) {
    case MusicState::kMissing:
      return "is not in this folder";
    case MusicState::kNotAFile:
      return "is not a regular file";
    case MusicState::kUndecodable:
      return "cannot be decoded as MP3";
    case MusicState::kUsable:
      break;
  }
  return "can be used";
}
