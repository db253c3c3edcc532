// The music seam on SDL2_mixer, which streams MP3 through libmpg123.
#include <SDL.h>
#include <SDL_mixer.h>

#include "host/music.h"

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
  SDL_RWops* file = SDL_RWFromFile(fileName, "rb");
  if (!file) return;
  // Taken as MP3 whatever its bytes; a file that does not decode gives no stream.
  musicStream = Mix_LoadMUSType_RW(file, MUS_MP3, 1);
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
