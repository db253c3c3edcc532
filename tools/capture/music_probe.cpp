#include "tools/capture/music_probe.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <initializer_list>

extern char** environ;

MusicState ProbeMusic(const char* path) {
  struct stat info {};
  if (stat(path, &info) != 0) return MusicState::kMissing;
  if (!S_ISREG(info.st_mode)) return MusicState::kNotAFile;

  const char* const argv[] = {"ffmpeg", "-nostdin", "-v",    "quiet", "-f",   "mp3", "-i",
                              path,     "-map",     "0:a:0", "-f",    "null", "-",   nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (int fd : {0, 1, 2}) posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", O_RDWR, 0);
  pid_t pid = -1;
  const int started =
      posix_spawnp(&pid, argv[0], &actions, nullptr, const_cast<char* const*>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  // Without ffmpeg the encoder's own start fails and says so.
  if (started != 0) return MusicState::kUsable;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
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
