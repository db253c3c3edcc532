// The music seam on an <audio> element: the browser decodes the MP3 and picks
// the output and its rate. The file comes from the page's file system, where
// the page put it while loading; the stream plays it from a blob, so nothing
// is fetched again at the start.
#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include "host/music.h"

namespace {

EM_JS(void, NoteMusicOutput, (int sampleRate), { Module.note('music-output', sampleRate); });

// clang-format off
EM_JS(void, CreateMusicElement, (const char* fileName), {
  const name = UTF8ToString(fileName);
  let bytes;
  try {
    bytes = FS.readFile(name);
  } catch (e) {
    Module.note('music-missing', name);
    return;
  }
  const url = URL.createObjectURL(new Blob([bytes], {type: 'audio/mpeg'}));
  Module.musicStream = {audio: new Audio(url), url: url};
  Module.note('music-stream', name);
});

EM_JS(void, PlayMusicElement, (), {
  const stream = Module.musicStream;
  if (!stream) return;
  stream.audio.currentTime = 0;
  Module.note('music-play');
  // A refusal (no gesture, nothing decodable) leaves the run silent.
  stream.audio.play().catch(e => Module.note('music-refused', String(e)));
});

EM_JS(void, PauseMusicElement, (), {
  if (Module.musicStream) Module.musicStream.audio.pause();
});

EM_JS(void, FreeMusicElement, (), {
  const stream = Module.musicStream;
  if (!stream) return;
  stream.audio.removeAttribute('src');
  stream.audio.load();
  URL.revokeObjectURL(stream.url);
  Module.musicStream = null;
});
// clang-format on

}  // namespace

void MusicOpenOutput(int sampleRate) { NoteMusicOutput(sampleRate); }
void MusicCreateStream(const char* fileName) { CreateMusicElement(fileName); }
void MusicPlayFromStart() { PlayMusicElement(); }
// Playing already started the output.
void MusicStartOutput() {}
void MusicStop() { PauseMusicElement(); }
void MusicFree() { FreeMusicElement(); }
void MusicReleaseOutput() {}
