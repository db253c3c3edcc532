#pragma once

#include "base/result.h"

// Asynchronous read-back through pixel buffer objects: frame k is read into
// one slot while the frame before it, in another slot, is mapped and handed
// to the writer. Rows come bottom row first, as GL stores them.
inline constexpr int kReadbackSlots = 3;

// Needs the offscreen surface current. Fails when the context has no buffer
// objects.
Result StartReadback(int width, int height);
// Starts reading the current picture into `slot`; returns without waiting.
void ReadIntoSlot(int slot);
// Waits for the slot's read to complete and returns its pixels, valid until
// UnmapSlot; null when the driver cannot map the buffer.
const unsigned char* MapSlot(int slot);
void UnmapSlot(int slot);
void EndReadback();
