// The music seam on the page's <audio> element: the browser streams and
// decodes the MP3 and picks the output and its rate. The page keeps the music
// in step with the piece's clock, which started just before it.
#include "host/music.h"
#include "host/web/page_hooks.h"

void MusicOpenOutput(int sampleRate) { PageMusicOpenOutput(sampleRate); }
void MusicCreateStream(const char* fileName) { PageMusicOpen(fileName); }
void MusicPlayFromStart() { PageMusicPlay(); }
// Playing already started the output.
void MusicStartOutput() {}
void MusicStop() { PageMusicStop(); }
void MusicFree() { PageMusicFree(); }
void MusicReleaseOutput() {}
