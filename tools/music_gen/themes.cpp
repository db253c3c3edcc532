#include "tools/music_gen/themes.h"

#include <cstdlib>

#include "tools/music_gen/harmony.h"

namespace {

const Line kLines[kThemeCount] = {
    // kAsk
    {{0, 1.5f, 69}, {1.5f, 0.5f, 74}, {2, 1, 76}, {3, 1, 77}, {4, 1.5f, 77}, {5.5f, 0.5f, 76},
     {6, 2, 74}, {8, 1, 72}, {9, 1, 77}, {10, 1, 81}, {11, 1, 79}, {12, 3, 76}},
    // kReply
    {{0, 1.5f, 74}, {1.5f, 0.5f, 77}, {2, 1, 79}, {3, 1, 81}, {4, 1.5f, 82}, {5.5f, 0.5f, 81},
     {6, 2, 77}, {8, 1, 76}, {9, 1, 74}, {10, 1, 73}, {11, 1, 76}, {12, 3.5f, 74}},
    // kLonging
    {{0, 2, 74}, {2, 1, 77}, {3, 1, 79}, {4, 3, 81}, {7, 1, 77}, {8, 1, 77}, {9, 1, 74},
     {10, 2, 70}, {12, 2, 73}, {14, 2, 76}},
    // kLongingAgain
    {{0, 1, 77}, {1, 1, 79}, {2, 2, 81}, {4, 2, 84}, {6, 1, 81}, {7, 1, 77}, {8, 2, 82},
     {10, 1, 81}, {11, 1, 77}, {12, 4, 76}},
    // kOrbitAsk
    {{0, 3, 74}, {3, 1, 72}, {4, 4, 69}, {8, 2, 76}, {10, 2, 79}, {12, 4, 74}},
    // kOrbitReply
    {{0, 2, 76}, {2, 2, 72}, {4, 3, 79}, {7, 1, 76}, {8, 4, 77}, {12, 4, 74}},
    // kOrbitClimb
    {{0, 2, 69}, {2, 2, 72}, {4, 2, 76}, {6, 2, 79}, {8, 4, 81}, {12, 2, 79}, {14, 2, 73}},
    // kLift
    {{0, 1, 86}, {1, 1, 84}, {2, 2, 81}, {4, 1.5f, 84}, {5.5f, 0.5f, 81}, {6, 2, 76},
     {8, 1, 79}, {9, 1, 84}, {10, 2, 86}, {12, 4, 89}},
    // kLiftReply
    {{0, 1.5f, 86}, {1.5f, 0.5f, 84}, {2, 2, 81}, {4, 1, 79}, {5, 1, 84}, {6, 2, 88},
     {8, 2, 84}, {10, 1, 81}, {11, 1, 79}, {12, 4, 86}},
    // kLiftHome
    {{0, 2, 86}, {2, 2, 89}, {4, 2, 88}, {6, 2, 84}, {8, 2, 86}, {10, 2, 81}, {12, 2, 85},
     {14, 2, 88}},
    // kGatherClimb
    {{0, 2, 69}, {2, 2, 73}, {4, 2, 76}, {6, 2, 79}, {8, 2, 81}, {10, 1, 82}, {11, 1, 85}},
};

// The scale note strictly between a and b nearest their middle, or 0.
int PassingNote(int a, int b, const Chord& chord) {
  const int low = a < b ? a : b, high = a < b ? b : a;
  for (int d = 0; d <= (high - low) / 2; ++d)
    for (int n : {(low + high) / 2 - d, (low + high + 1) / 2 + d})
      if (n > low && n < high && InScale(chord, n)) return n;
  return 0;
}

}  // namespace

Line ThemeLine(Theme theme) { return kLines[theme]; }

Line Vary(const Line& line, int variation, const TempoMap& map, int firstBar) {
  Line out;
  for (size_t i = 0; i < line.size(); ++i) {
    ThemeNote n = line[i];
    if ((variation & kSparse) && n.beats < 1.0f) continue;
    if (variation & kOctaveDown) n.pitch -= 12;
    const bool pushable = static_cast<int>(n.beat) % 4 == 2 && n.beat == static_cast<int>(n.beat);
    if ((variation & kSyncopated) && pushable && !out.empty() &&
        out.back().beat + out.back().beats >= n.beat && out.back().beats > 0.5f) {
      out.back().beats -= 0.5f;
      n.beat -= 0.5f;
      n.beats += 0.5f;
    }
    out.push_back(n);
    if ((variation & kOrnamented) && i + 1 < line.size()) {
      const ThemeNote& next = line[i + 1];
      const int leap = std::abs(next.pitch - line[i].pitch);
      if ((leap == 3 || leap == 4) && out.back().beats >= 1.0f) {
        const float at = next.beat - 0.5f;
        const int bar = firstBar + static_cast<int>(at) / kBeatsPerBar;
        const float beat = at - static_cast<float>(static_cast<int>(at) / kBeatsPerBar * kBeatsPerBar);
        const int passing = PassingNote(out.back().pitch, next.pitch + (n.pitch - line[i].pitch),
                                        ChordAt(map, bar, beat));
        if (passing) {
          out.back().beats -= 0.5f;
          out.push_back({at, 0.5f, passing});
        }
      }
    }
  }
  return out;
}
