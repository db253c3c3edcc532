// The music seam on Windows' own MCI: the file is opened as an mpegvideo
// device, which decodes MP3 and opens the default output by itself.
#include <windows.h>

#include <mmsystem.h>  // needs windows.h first

#include <cstdio>

#include "host/music.h"

namespace {

bool opened;

void Send(const char* command) { mciSendStringA(command, nullptr, 0, nullptr); }

}  // namespace

// MCI picks the output device and its rate when the file is opened.
void MusicOpenOutput(int) {}

void MusicCreateStream(const char* fileName) {
  char command[MAX_PATH + 64];
  const int length = std::snprintf(command, sizeof command,
                                   "open \"%s\" type mpegvideo alias quorvane_music", fileName);
  if (length < 0 || length >= static_cast<int>(sizeof command)) return;
  opened = mciSendStringA(command, nullptr, 0, nullptr) == 0;
}

void MusicPlayFromStart() {
  if (opened) Send("play quorvane_music from 0");
}

// Playing already started the output.
void MusicStartOutput() {}

void MusicStop() {
  if (opened) Send("stop quorvane_music");
}

void MusicFree() {
  if (opened) Send("close quorvane_music");
  opened = false;
}

void MusicReleaseOutput() {}
