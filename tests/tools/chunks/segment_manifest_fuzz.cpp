// The segment manifest reader on any text of the length the join reads: it
// must refuse or give a manifest that keeps the limits it
// promises and reads back the same once written.
#include "tests/support/fuzz_target.h"
#include "tools/chunks/segment_manifest.h"

namespace {

// The join reads no more of a manifest than this.
constexpr size_t kLongestManifest = 4096;

bool Same(const SegmentManifest& a, const SegmentManifest& b) {
  return a.version == b.version && a.kind == b.kind && a.width == b.width && a.height == b.height &&
         a.fps == b.fps && a.encoder == b.encoder && a.first == b.first && a.last == b.last &&
         a.rangeFirst == b.rangeFirst && a.rangeLast == b.rangeLast &&
         a.simulationHash == b.simulationHash && a.bytes == b.bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kLongestManifest) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  SegmentManifest manifest;
  if (!ParseManifest(text, manifest)) return 0;
  FuzzExpect(manifest.width >= 1 && manifest.height >= 1 && manifest.fps >= 1,
             "a size or rate below 1 was read");
  FuzzExpect(manifest.rangeFirst >= 1 && manifest.rangeFirst <= manifest.first &&
                 manifest.first <= manifest.last && manifest.last <= manifest.rangeLast,
             "the frames read do not lie in the range read");
  const std::string written = FormatManifest(manifest);
  SegmentManifest again;
  FuzzExpect(static_cast<bool>(ParseManifest(written, again)),
             "a manifest read is refused once written");
  FuzzExpect(Same(manifest, again) && FormatManifest(again) == written,
             "a manifest reads back otherwise once written");
  FuzzExpect(DescribeDifference(manifest, again).empty(), "a manifest differs from itself");
  return 0;
}
