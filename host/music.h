#pragma once

// The music seam. No result of it is needed for the run to go on, and the
// timeline never asks it anything: every step quietly does nothing when the
// one before it failed.
void MusicOpenOutput(int sampleRate);
void MusicCreateStream(const char* fileName);
void MusicPlayFromStart();
void MusicStartOutput();
void MusicStop();
void MusicFree();
void MusicReleaseOutput();
