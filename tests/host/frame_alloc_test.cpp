// Counts the allocations that this program's own code makes on the test's
// thread, through the C allocators as well as operator new, to show that
// frames allocate nothing. Its own executable, so the replacements touch no
// other test. What the GL driver allocates, on its threads or inside a GL
// call, is the driver's business, not the frame's.

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <new>

#include "host/atlas.h"
#include "host/frame.h"
#include "host/headless_run.h"
#include "tests/host/gl_surface.h"
#include "tests/host/synthetic_atlas.h"
#include "tests/support/temp_folder.h"

#if defined(__SANITIZE_ADDRESS__)
#define QUORVANE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVANE_ASAN 1
#endif
#endif

namespace {

thread_local bool counting = false;
std::atomic<long> allocations{0};
std::atomic<long> releases{0};

void CountAllocation() {
  if (counting) ++allocations;
}

void CountRelease(const void* p) {
  if (counting && p != nullptr) ++releases;
}

}  // namespace

#ifdef QUORVANE_ASAN
// AddressSanitizer owns malloc and free: blocks from glibc's allocator would
// be foreign to it, and its own hooks cannot tell the program's calls from
// the driver's. Under it only operator new is counted.
namespace {
constexpr bool kCAllocatorsCounted = false;
}
#else
namespace {
constexpr bool kCAllocatorsCounted = true;

// The linker's bounds of this executable's code: a call from inside them is
// the program's own, one from a shared library (the GL driver) is not.
extern "C" const char __executable_start[];
extern "C" const char etext[];

bool FromThisProgram(const void* caller) { return caller >= __executable_start && caller < etext; }

void CountAllocationFrom(const void* caller) {
  if (FromThisProgram(caller)) CountAllocation();
}
}  // namespace

// glibc's own entry points, under the names it exports for this purpose.
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
void __libc_free(void*);

// noinline: each must see its real caller.
__attribute__((noinline)) void* malloc(std::size_t n) {
  CountAllocationFrom(__builtin_return_address(0));
  return __libc_malloc(n);
}
__attribute__((noinline)) void* calloc(std::size_t count, std::size_t n) {
  CountAllocationFrom(__builtin_return_address(0));
  return __libc_calloc(count, n);
}
__attribute__((noinline)) void* realloc(void* p, std::size_t n) {
  CountAllocationFrom(__builtin_return_address(0));
  return __libc_realloc(p, n);
}
__attribute__((noinline)) void* aligned_alloc(std::size_t alignment, std::size_t n) {
  CountAllocationFrom(__builtin_return_address(0));
  return __libc_memalign(alignment, n);
}
__attribute__((noinline)) void* memalign(std::size_t alignment, std::size_t n) {
  CountAllocationFrom(__builtin_return_address(0));
  return __libc_memalign(alignment, n);
}
__attribute__((noinline)) int posix_memalign(void** out, std::size_t alignment, std::size_t n) {
  CountAllocationFrom(__builtin_return_address(0));
  void* p = __libc_memalign(alignment, n);
  if (p == nullptr) return ENOMEM;
  *out = p;
  return 0;
}
__attribute__((noinline)) void free(void* p) {
  if (FromThisProgram(__builtin_return_address(0))) CountRelease(p);
  __libc_free(p);
}
}
#endif

namespace {

// operator new reaches the C allocators from this program's code, so it is
// counted there; under AddressSanitizer it counts itself.
void* Allocate(std::size_t size, std::size_t alignment = alignof(std::max_align_t)) {
  if (!kCAllocatorsCounted) CountAllocation();
  if (size == 0) size = 1;
  if (alignment <= alignof(std::max_align_t)) return std::malloc(size);
  return std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
}

void* AllocateOrThrow(std::size_t size, std::size_t alignment = alignof(std::max_align_t)) {
  if (void* p = Allocate(size, alignment)) return p;
  throw std::bad_alloc();
}

void Release(void* p) {
  if (!kCAllocatorsCounted) CountRelease(p);
  std::free(p);
}

}  // namespace

// Every form, on the counted C allocators, so that no allocation (the GL
// driver's included) pairs one library's new with another's delete.
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

// Each way a frame could allocate is seen, once for each call.
TEST(HostFrameAllocation, CounterSeesEveryAllocator) {
  void* volatile kept = nullptr;  // volatile: the compiler may not drop a pair
  const auto counted = [&](auto allocate) {
    allocations = releases = 0;
    counting = true;
    allocate();
    counting = false;
    return allocations.load();
  };
  EXPECT_EQ(counted([&] { kept = new int(7); }), 1);
  EXPECT_EQ(counted([&] { delete static_cast<int*>(kept); }), 0);
  EXPECT_EQ(releases, 1);
  if (!kCAllocatorsCounted) GTEST_SKIP() << "C allocators are AddressSanitizer's own here";
  EXPECT_EQ(counted([&] { kept = std::malloc(24); }), 1);
  EXPECT_EQ(counted([&] { kept = std::realloc(kept, 4096); }), 1);
  EXPECT_EQ(counted([&] { std::free(kept); }), 0);
  EXPECT_EQ(releases, 1);
  EXPECT_EQ(counted([&] { kept = std::calloc(3, 8); }), 1);
  std::free(kept);
  EXPECT_EQ(counted([&] { kept = std::aligned_alloc(64, 128); }), 1);
  std::free(kept);
}

}  // namespace
