#pragma once

// Whether the music can go into the video, decided before any frame is drawn,
// so that a file ffmpeg cannot decode costs a warning and a silent video (as
// the real-time piece plays silently then), not the whole capture.
enum class MusicState { kUsable, kMissing, kNotAFile, kUndecodable };

// ffmpeg decodes the file as MP3, the way the piece takes it whatever its
// bytes. Anything but a regular file is not opened: a FIFO would block.
MusicState ProbeMusic(const char* path);

// "RX_muc.mp3 is not in this folder" and the like, for the warning.
const char* DescribeMusicState(MusicState state);
