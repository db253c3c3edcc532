// The music seam on SDL2_mixer, which streams MP3 through libmpg123.
#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>

#include "host/asset_file.h"
#include "host/music.h"
#include "host/sdl/mp3_probe.h"

namespace {

bool outputOpen = false;
Mix_Music* musicStream = nullptr;

}  // namespace

void MusicOpenOutput(int sampleRate) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
  if (Mix_OpenAudio(sampleRate, MIX_DEFAULT_FORMAT, 2, 2048) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return;
  }
  outputOpen = true;
}

void MusicCreateStream(const char* fileName) {
  if (!outputOpen) return;
  std::FILE* file = nullptr;
  if (!OpenAssetFile(fileName, file)) return;
  // The decoder would print a line for every false frame it finds in a file
  // that is not MP3, hundreds for a WAV; one line of ours says it instead.
  if (!HoldsMpegAudio(file) || std::fseek(file, 0, SEEK_SET) != 0) {
    std::fprintf(stderr, "quorvane: %s holds no MP3 audio; the piece runs without music\n",
                 fileName);
    std::fclose(file);
    return;
  }
  SDL_RWops* stream = SDL_RWFromFP(file, SDL_TRUE);
  if (!stream) {
    std::fclose(file);
    return;
  }
  musicStream = Mix_LoadMUSType_RW(stream, MUS_MP3, 1);
}

void MusicPlayFromStart() {
  if (musicStream) Mix_PlayMusic(musicStream, 1);
}

void MusicStartOutput() {
  // The mixer's device runs from its opening; this only makes sure the
  // stream is not held paused.
  if (musicStream) Mix_ResumeMusic();
}

void MusicStop() {
  if (musicStream) Mix_HaltMusic();
}

void MusicFree() {
  if (musicStream) Mix_FreeMusic(musicStream);
  musicStream = nullptr;
}

void MusicReleaseOutput() {
  if (!outputOpen) return;
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  outputOpen = false;
}
