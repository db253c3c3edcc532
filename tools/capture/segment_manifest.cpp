#include "tools/capture/segment_manifest.h"

#include <sys/stat.h>

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>

#include "build_info.h"
#include "tools/capture/output_target.h"
#include "tools/common/atomic_output.h"
#include "tools/common/parse_number.h"

namespace {

constexpr const char* kFormat = "quorvane segment 1";
constexpr size_t kMaxManifestBytes = 4096;

// The flat JSON object the manifest is: string and whole-number values only.
// Strings are written without escapes (the values are names and numbers), so
// any escape read is refused rather than half-understood.
class FlatJson {
 public:
  explicit FlatJson(const std::string& text) : text_(text) {}

  bool Parse(std::string& error) {
    Skip();
    if (!Take('{')) return Fail("it does not start with '{'", error);
    Skip();
    if (Take('}')) return End(error);
    for (;;) {
      std::string key;
      std::string value;
      Skip();
      if (!String(key)) return Fail("a key is not a plain string", error);
      Skip();
      if (!Take(':')) return Fail("'" + key + "' has no ':'", error);
      Skip();
      if (at_ < text_.size() && text_[at_] == '"') {
        if (!String(value)) return Fail("'" + key + "' is not a plain string", error);
        strings_[key] = value;
      } else {
        const size_t start = at_;
        while (at_ < text_.size() &&
               (text_[at_] == '-' || (text_[at_] >= '0' && text_[at_] <= '9')))
          ++at_;
        long long number = 0;
        if (!ParseWhole(std::string_view(text_).substr(start, at_ - start), number))
          return Fail("'" + key + "' is neither a string nor a whole number", error);
        numbers_[key] = number;
      }
      Skip();
      if (Take('}')) return End(error);
      if (!Take(',')) return Fail("'" + key + "' is not followed by ',' or '}'", error);
    }
  }

  bool Text(const char* key, std::string& value, std::string& error) const {
    const auto found = strings_.find(key);
    if (found == strings_.end()) return Fail(std::string("no \"") + key + "\" string", error);
    value = found->second;
    return true;
  }
  template <typename Number>
  bool Whole(const char* key, long long low, Number& value, std::string& error) const {
    const auto found = numbers_.find(key);
    // A number its field cannot hold is refused, not cut down to another.
    if (found == numbers_.end() || found->second < low ||
        static_cast<unsigned long long>(found->second) >
            static_cast<unsigned long long>(std::numeric_limits<Number>::max()))
      return Fail(std::string("no \"") + key + "\" number from " + std::to_string(low), error);
    value = static_cast<Number>(found->second);
    return true;
  }

 private:
  static bool Fail(const std::string& why, std::string& error) {
    error = why;
    return false;
  }
  void Skip() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\t' || text_[at_] == '\r'))
      ++at_;
  }
  bool Take(char c) {
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }
  bool String(std::string& value) {
    if (!Take('"')) return false;
    const size_t end = text_.find('"', at_);
    if (end == std::string::npos) return false;
    value = text_.substr(at_, end - at_);
    at_ = end + 1;
    for (char c : value)
      if (c == '\\' || static_cast<unsigned char>(c) < 0x20) return false;
    return true;
  }
  bool End(std::string& error) {
    Skip();
    return at_ == text_.size() || Fail("there is more after the closing '}'", error);
  }

  const std::string& text_;
  size_t at_ = 0;
  std::map<std::string, std::string> strings_;
  std::map<std::string, long long> numbers_;
};

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

std::string ManifestPath(const std::string& segment) { return segment + ".json"; }

std::string FormatManifest(const SegmentManifest& manifest) {
  char hash[24];
  std::snprintf(hash, sizeof hash, "%016" PRIx64, manifest.simulationHash);
  std::ostringstream text;
  text << "{\n"
       << "  \"format\": \"" << kFormat << "\",\n"
       << "  \"version\": \"" << manifest.version << "\",\n"
       << "  \"kind\": \"" << (manifest.kind == OutputKind::kVideo ? "video" : "frames") << "\",\n"
       << "  \"width\": " << manifest.width << ",\n"
       << "  \"height\": " << manifest.height << ",\n"
       << "  \"fps\": " << manifest.fps << ",\n"
       << "  \"encoder\": \"" << manifest.encoder << "\",\n"
       << "  \"first\": " << manifest.first << ",\n"
       << "  \"last\": " << manifest.last << ",\n"
       << "  \"rangeFirst\": " << manifest.rangeFirst << ",\n"
       << "  \"rangeLast\": " << manifest.rangeLast << ",\n"
       << "  \"simulationHash\": \"" << hash << "\",\n"
       << "  \"bytes\": " << manifest.bytes << "\n"
       << "}\n";
  return text.str();
}

bool ParseManifest(const std::string& text, SegmentManifest& manifest, std::string& error) {
  FlatJson json(text);
  std::string format;
  std::string kind;
  std::string hash;
  if (!json.Parse(error) || !json.Text("format", format, error)) return false;
  if (format != kFormat) {
    error = "its format is '" + format + "', not '" + kFormat + "'";
    return false;
  }
  SegmentManifest read;
  if (!(json.Text("version", read.version, error) && json.Text("kind", kind, error) &&
        json.Whole("width", 1, read.width, error) && json.Whole("height", 1, read.height, error) &&
        json.Whole("fps", 1, read.fps, error) && json.Text("encoder", read.encoder, error) &&
        json.Whole("first", 1, read.first, error) && json.Whole("last", 1, read.last, error) &&
        json.Whole("rangeFirst", 1, read.rangeFirst, error) &&
        json.Whole("rangeLast", 1, read.rangeLast, error) &&
        json.Text("simulationHash", hash, error) && json.Whole("bytes", 0, read.bytes, error)))
    return false;
  if (kind != "video" && kind != "frames") {
    error = "its kind is '" + kind + "', neither video nor frames";
    return false;
  }
  read.kind = kind == "video" ? OutputKind::kVideo : OutputKind::kFrames;
  if (!(read.rangeFirst <= read.first && read.first <= read.last && read.last <= read.rangeLast)) {
    error = "its frames do not lie in its range";
    return false;
  }
  if (hash.size() != 16 || !ParseHex(hash, read.simulationHash)) {
    error = "its simulation hash is not 16 hexadecimal digits";
    return false;
  }
  manifest = read;
  return true;
}

bool WriteManifest(const std::string& segment, const SegmentManifest& manifest,
                   std::string& error) {
  const std::string text = FormatManifest(manifest);
  return WriteFileAtomically(
      ManifestPath(segment),
      [&text](std::FILE* stream, std::string&) {
        return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
      },
      error);
}

bool MeasureSegment(const std::string& segment, OutputKind kind, int64_t first, int64_t last,
                    uint64_t& bytes, std::string& error) {
  struct stat info {};
  if (kind == OutputKind::kVideo) {
    if (stat(segment.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
      error = "'" + segment + "' is missing";
      return false;
    }
    bytes = static_cast<uint64_t>(info.st_size);
    return true;
  }
  bytes = 0;
  for (int64_t k = first; k <= last; ++k) {
    const std::string frame = segment + "/" + FrameFileName(k);
    if (stat(frame.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
      error = "'" + segment + "' is missing " + FrameFileName(k);
      return false;
    }
    bytes += static_cast<uint64_t>(info.st_size);
  }
  return true;
}

bool ReadCompleteSegment(const std::string& segment, SegmentManifest& manifest,
                         std::string& error) {
  struct stat info {};
  if (stat(segment.c_str(), &info) != 0) {
    error = "'" + segment + "' is missing";
    return false;
  }
  const std::string path = ManifestPath(segment);
  std::ifstream file(path, std::ios::binary);
  std::string text(kMaxManifestBytes + 1, '\0');
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(file.gcount()));
  if (!file.is_open() || text.empty()) {
    error = "'" + segment + "' has no manifest ('" + path + "'): it is unfinished or no segment";
    return false;
  }
  std::string why;
  if (text.size() > kMaxManifestBytes || !ParseManifest(text, manifest, why)) {
    error = "'" + path +
            "' is no segment manifest: " + (why.empty() ? std::string("it is too long") : why);
    return false;
  }
  uint64_t bytes = 0;
  if (!MeasureSegment(segment, manifest.kind, manifest.first, manifest.last, bytes, error))
    return false;
  if (bytes != manifest.bytes) {
    error = "'" + segment + "' is cut short or altered: " + std::to_string(bytes) +
            " bytes where its manifest says " + std::to_string(manifest.bytes);
    return false;
  }
  return true;
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
