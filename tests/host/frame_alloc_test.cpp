// Replaces the global operator new and delete to show that frames allocate
// nothing. Its own executable, so the replacement touches no other test.

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

#include "host/atlas.h"
#include "host/frame.h"
#include "host/headless_run.h"
#include "tests/host/gl_surface.h"
#include "tests/host/synthetic_atlas.h"
#include "tests/support/temp_folder.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
std::atomic<long> releases{0};

void* Allocate(std::size_t size, std::size_t alignment = alignof(std::max_align_t)) {
  if (counting) ++allocations;
  if (size == 0) size = 1;
  if (alignment <= alignof(std::max_align_t)) return std::malloc(size);
  return std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
}

void* AllocateOrThrow(std::size_t size, std::size_t alignment = alignof(std::max_align_t)) {
  if (void* p = Allocate(size, alignment)) return p;
  throw std::bad_alloc();
}

void Release(void* p) {
  if (counting && p != nullptr) ++releases;
  std::free(p);
}

}  // namespace

// Every form, so that no allocation (the GL driver's included) pairs one
// library's new with another's delete.
void* operator new(std::size_t n) { return AllocateOrThrow(n); }
void* operator new[](std::size_t n) { return AllocateOrThrow(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void* operator new(std::size_t n, std::align_val_t a) { return AllocateOrThrow(n, std::size_t(a)); }
void* operator new[](std::size_t n, std::align_val_t a) {
  return AllocateOrThrow(n, std::size_t(a));
}
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Allocate(n, std::size_t(a));
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Allocate(n, std::size_t(a));
}
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { Release(p); }

namespace {

// 100 frames 2.25 s apart, so that they cover every row of the mode
// schedule, both swarm passes, the fade and the cards.
int32_t FrameMs(int frame) { return frame * 2250; }

void RunFrames(bool drawn, bool countFromFrame2) {
  StartHeadlessRun(60);
  if (drawn) LoadTextureAtlas();
  for (int frame = 1; frame <= 100; ++frame) {
    counting = countFromFrame2 && frame >= 2;
    RunFrameAt(FrameMs(frame), drawn ? RunSceneFrame : kUndrawn);
  }
  counting = false;
}

TEST(HostFrameAllocation, FramesTwoToHundredAllocateNothing) {
  TempWorkingDirectory folder;
  ASSERT_TRUE(WriteFileBytes("TEX.tga", SyntheticAtlasFile()));
  const ScopedOffscreenSurface surface(64, 36);
  ASSERT_TRUE(surface.opened()) << surface.error();
  // A first pass lets the GL driver build whatever it caches per state
  // combination; what it allocates is its own business, not the frame's.
  RunFrames(true, false);
  RunFrames(true, true);
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(releases, 0);

  allocations = releases = 0;
  RunFrames(false, true);
  EXPECT_EQ(allocations, 0);
  EXPECT_EQ(releases, 0);
}

TEST(HostFrameAllocation, CounterSeesAnAllocation) {
  allocations = releases = 0;
  counting = true;
  int* volatile p = new int(7);
  delete p;
  counting = false;
  EXPECT_EQ(allocations, 1);
  EXPECT_EQ(releases, 1);
}

}  // namespace
