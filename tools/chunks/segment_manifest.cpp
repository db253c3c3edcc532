#include "tools/chunks/segment_manifest.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>

#include "build_info.h"
#include "tools/common/atomic_output.h"
#include "base/parse_number.h"

namespace {

constexpr const char* kFormat = "quorvane segment 1";
constexpr size_t kMaxManifestBytes = 4096;

using Json = nlohmann::json;

// The manifest's fields, read from its one flat object of strings and whole
// numbers; a value of another type, or one that does not fit, is refused.
Result Text(const Json& object, const char* key, std::string& value) {
  const auto found = object.find(key);
  if (found == object.end() || !found->is_string())
    return Fail(std::string("no \"") + key + "\" string");
  value = found->get<std::string>();
  return {};
}

template <typename Number>
Result Whole(const Json& object, const char* key, long long low, Number& value) {
  const auto found = object.find(key);
  const bool whole = found != object.end() && found->is_number_integer() &&
                     (!found->is_number_unsigned() ||
                      found->get<uint64_t>() <= std::numeric_limits<long long>::max());
  const long long number = whole ? found->get<long long>() : 0;
  if (!whole || number < low ||
      static_cast<unsigned long long>(number) > std::numeric_limits<Number>::max())
    return Fail(std::string("no \"") + key + "\" number from " + std::to_string(low));
  value = static_cast<Number>(number);
  return {};
}

}  // namespace

const char* QuorvaneVersion() { return kQuorvaneVersion; }

std::string EncoderSettings(const CaptureOptions& options) {
  if (options.kind == OutputKind::kFrames) return "png";
  return "libx264 preset=" + options.preset + " crf=" + std::to_string(options.crf) +
         " yuv420p bt709";
}

SegmentManifest ChunkManifest(const CaptureOptions& options, FrameSpan range, FrameSpan chunk) {
  SegmentManifest manifest;
  manifest.version = QuorvaneVersion();
  manifest.kind = options.kind;
  manifest.width = options.width;
  manifest.height = options.height;
  manifest.fps = options.fps;
  manifest.encoder = EncoderSettings(options);
  manifest.first = chunk.first;
  manifest.last = chunk.last;
  manifest.rangeFirst = range.first;
  manifest.rangeLast = range.last;
  return manifest;
}

std::string ChunkSegmentName(const std::string& index, OutputKind kind) {
  return "chunk-" + index + (kind == OutputKind::kVideo ? ".mp4" : "");
}

std::string ManifestPath(const std::string& segment) { return segment + ".json"; }

std::string FormatManifest(const SegmentManifest& manifest) {
  char hash[24];
  std::snprintf(hash, sizeof hash, "%016" PRIx64, manifest.simulationHash);
  // In this order, as a person reads it; nlohmann::ordered_json keeps it.
  const nlohmann::ordered_json object = {
      {"format", kFormat},
      {"version", manifest.version},
      {"kind", manifest.kind == OutputKind::kVideo ? "video" : "frames"},
      {"width", manifest.width},
      {"height", manifest.height},
      {"fps", manifest.fps},
      {"encoder", manifest.encoder},
      {"first", manifest.first},
      {"last", manifest.last},
      {"rangeFirst", manifest.rangeFirst},
      {"rangeLast", manifest.rangeLast},
      {"simulationHash", hash},
      {"bytes", manifest.bytes},
  };
  return object.dump(2) + "\n";
}

Result ParseManifest(const std::string& text, SegmentManifest& manifest) {
  Json object;
  try {
    object = Json::parse(text);
  } catch (const Json::parse_error& fault) {
    return Fail("it is not JSON (at byte " + std::to_string(fault.byte) + ")");
  } catch (const Json::out_of_range&) {  // a number no double holds, such as 1e999
    return Fail("it holds a number too large for any field");
  }
  if (!object.is_object()) return Fail("it is no JSON object");
  std::string format;
  std::string kind;
  std::string hash;
  if (Result read = Text(object, "format", format); !read) return read;
  if (format != kFormat) return Fail("its format is '" + format + "', not '" + kFormat + "'");
  SegmentManifest read;
  for (Result field : {Text(object, "version", read.version), Text(object, "kind", kind),
                       Whole(object, "width", 1, read.width),
                       Whole(object, "height", 1, read.height), Whole(object, "fps", 1, read.fps),
                       Text(object, "encoder", read.encoder), Whole(object, "first", 1, read.first),
                       Whole(object, "last", 1, read.last),
                       Whole(object, "rangeFirst", 1, read.rangeFirst),
                       Whole(object, "rangeLast", 1, read.rangeLast),
                       Text(object, "simulationHash", hash), Whole(object, "bytes", 0, read.bytes)})
    if (!field) return field;
  if (kind != "video" && kind != "frames")
    return Fail("its kind is '" + kind + "', neither video nor frames");
  read.kind = kind == "video" ? OutputKind::kVideo : OutputKind::kFrames;
  if (!(read.rangeFirst <= read.first && read.first <= read.last && read.last <= read.rangeLast))
    return Fail("its frames do not lie in its range");
  if (hash.size() != 16 || !ParseHex(hash, read.simulationHash))
    return Fail("its simulation hash is not 16 hexadecimal digits");
  manifest = read;
  return {};
}

Result WriteManifest(const std::string& segment, const SegmentManifest& manifest) {
  const std::string text = FormatManifest(manifest);
  return WriteFileAtomically(ManifestPath(segment), [&text, &segment](std::FILE* stream) {
    if (std::fwrite(text.data(), 1, text.size(), stream) == text.size()) return Result{};
    return Fail("cannot write '" + ManifestPath(segment) + "': " + std::strerror(errno));
  });
}

Result MeasureSegment(const std::string& segment, OutputKind kind, int64_t first, int64_t last,
                      uint64_t& bytes) {
  struct stat info {};
  if (kind == OutputKind::kVideo) {
    if (stat(segment.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
      return Fail("'" + segment + "' is missing");
    bytes = static_cast<uint64_t>(info.st_size);
    return {};
  }
  bytes = 0;
  for (int64_t k = first; k <= last; ++k) {
    const std::string frame = segment + "/" + FrameFileName(k);
    if (stat(frame.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
      return Fail("'" + segment + "' is missing " + FrameFileName(k));
    bytes += static_cast<uint64_t>(info.st_size);
  }
  return {};
}

Result ReadCompleteSegment(const std::string& segment, SegmentManifest& manifest) {
  struct stat info {};
  if (stat(segment.c_str(), &info) != 0) return Fail("'" + segment + "' is missing");
  const std::string path = ManifestPath(segment);
  std::ifstream file(path, std::ios::binary);
  std::string text(kMaxManifestBytes + 1, '\0');
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(file.gcount()));
  if (!file.is_open() || text.empty())
    return Fail("'" + segment + "' has no manifest ('" + path +
                "'): it is unfinished or no segment");
  if (text.size() > kMaxManifestBytes)
    return Fail("'" + path + "' is no segment manifest: it is too long");
  if (Result parsed = ParseManifest(text, manifest); !parsed)
    return Fail("'" + path + "' is no segment manifest: " + parsed.error);
  uint64_t bytes = 0;
  if (Result measured = MeasureSegment(segment, manifest.kind, manifest.first, manifest.last, bytes);
      !measured)
    return measured;
  if (bytes != manifest.bytes)
    return Fail("'" + segment + "' is cut short or altered: " + std::to_string(bytes) +
                " bytes where its manifest says " + std::to_string(manifest.bytes));
  return {};
}

Result CommitSegment(SegmentManifest manifest, OutputTarget& target) {
  const std::string segment = target.output.finalPath;
  const std::string manifestPath = ManifestPath(segment);
  if (unlink(manifestPath.c_str()) != 0 && errno != ENOENT)
    return Fail("cannot replace '" + manifestPath + "': " + std::strerror(errno));
  if (Result committed = CommitOutput(target); !committed) return committed;
  Result described =
      MeasureSegment(segment, manifest.kind, manifest.first, manifest.last, manifest.bytes);
  if (described) described = WriteManifest(segment, manifest);
  if (described) return described;
  if (manifest.kind == OutputKind::kVideo)
    unlink(segment.c_str());
  else
    RemoveFolderOfFiles(segment);
  return described;
}

std::string FrameRangeText(int64_t first, int64_t last) {
  return first == last ? "frame " + std::to_string(first)
                       : "frames " + std::to_string(first) + "-" + std::to_string(last);
}

std::string DescribeDifference(const SegmentManifest& other, const SegmentManifest& reference) {
  auto against = [](const std::string& a, const std::string& b) { return a + " against " + b; };
  auto size = [](const SegmentManifest& m) {
    return std::to_string(m.width) + "x" + std::to_string(m.height);
  };
  auto kind = [](const SegmentManifest& m) {
    return std::string(m.kind == OutputKind::kVideo ? "video" : "PNG frames");
  };
  if (other.version != reference.version)
    return "version " + against(other.version, reference.version);
  if (other.kind != reference.kind) return against(kind(other), kind(reference));
  if (other.width != reference.width || other.height != reference.height)
    return "size " + against(size(other), size(reference));
  if (other.fps != reference.fps)
    return against(std::to_string(other.fps), std::to_string(reference.fps)) + " fps";
  if (other.encoder != reference.encoder)
    return "encoder settings '" + other.encoder + "' against '" + reference.encoder + "'";
  if (other.rangeFirst != reference.rangeFirst || other.rangeLast != reference.rangeLast)
    return "a chunk of " + against(FrameRangeText(other.rangeFirst, other.rangeLast),
                                   FrameRangeText(reference.rangeFirst, reference.rangeLast));
  return {};
}
