#include "tools/capture/progress.h"

#include <unistd.h>

#include <cstdio>

#include "tools/common/tool_report.h"

namespace {

constexpr int kBarWidth = 30;
constexpr int kLinePercentStep = 5;
constexpr auto kRedrawInterval = std::chrono::milliseconds(250);

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

std::string FormatProgress(int64_t done, int64_t total, double elapsedSeconds, int barWidth) {
  std::string text;
  if (barWidth > 0) {
    const int filled = total > 0 ? static_cast<int>(done * barWidth / total) : barWidth;
    text = "[" + std::string(filled, '=') + (filled < barWidth ? ">" : "") +
           std::string(barWidth - filled - (filled < barWidth ? 1 : 0), ' ') + "] ";
  }
  const double rate = elapsedSeconds > 0.0 ? static_cast<double>(done) / elapsedSeconds : 0.0;
  char numbers[96];
  if (rate > 0.0) {
    const long left = static_cast<long>(static_cast<double>(total - done) / rate + 0.5);
    std::snprintf(numbers, sizeof numbers, "%lld/%lld frames  %.1f fps  %ld:%02ld left",
                  static_cast<long long>(done), static_cast<long long>(total), rate, left / 60,
                  left % 60);
  } else {
    std::snprintf(numbers, sizeof numbers, "%lld/%lld frames", static_cast<long long>(done),
                  static_cast<long long>(total));
  }
  return text + numbers;
}

void StartProgress(Progress& progress, int64_t total, bool quiet) {
  progress.quiet = quiet;
  progress.terminal = isatty(STDERR_FILENO) != 0;
  progress.total = total;
  progress.nextPercent = kLinePercentStep;
  progress.start = progress.lastDrawn = std::chrono::steady_clock::now();
}

void UpdateProgress(Progress& progress, int64_t done) {
  if (progress.quiet || progress.total <= 0) return;
  if (progress.terminal) {
    const auto now = std::chrono::steady_clock::now();
    if (now - progress.lastDrawn < kRedrawInterval) return;
    progress.lastDrawn = now;
    std::fprintf(
        stderr, "\r%s\033[K",
        FormatProgress(done, progress.total, SecondsSince(progress.start), kBarWidth).c_str());
    return;
  }
  const int percent = static_cast<int>(done * 100 / progress.total);
  if (percent < progress.nextPercent || done == progress.total) return;
  progress.nextPercent = (percent / kLinePercentStep + 1) * kLinePercentStep;
  std::fprintf(stderr, "%s: %3d%%  %s\n", ToolName(), percent,
               FormatProgress(done, progress.total, SecondsSince(progress.start), 0).c_str());
}

void EndProgress(Progress& progress, int64_t done) {
  if (progress.quiet || progress.total <= 0) return;
  const std::string text = FormatProgress(done, progress.total, SecondsSince(progress.start),
                                          progress.terminal ? kBarWidth : 0);
  if (progress.terminal)
    std::fprintf(stderr, "\r%s\033[K\n", text.c_str());
  else
    std::fprintf(stderr, "%s: %3d%%  %s\n", ToolName(),
                 static_cast<int>(done * 100 / progress.total), text.c_str());
}

void ReportWritten(const std::string& path, int64_t frames, int width, int height, int fps,
                   std::chrono::steady_clock::time_point started) {
  char summary[160];
  std::snprintf(summary, sizeof summary, "%lld frames of %dx%d at %d fps in %.1f s",
                static_cast<long long>(frames), width, height, fps, SecondsSince(started));
  ReportNote("wrote " + path + ": " + summary);
}
