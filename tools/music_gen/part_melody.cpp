// The lead, the counter-line under it, and the bells.
#include <cstdint>
#include <cstdlib>

#include "base/hash.h"
#include "tools/music_gen/arrangement.h"
#include "tools/music_gen/performance.h"
#include "tools/music_gen/themes.h"

namespace {

struct LeadPlan {
  Theme theme;
  int variation;
  float level;
};

bool LeadFor(const Phrase& p, LeadPlan& plan) {
  const bool last = p.index == p.count - 1;
  switch (p.section) {
    case kRise:
      if (p.index < 2) return false;
      if (p.index == 2)
        plan = {kAsk, kSparse | kOctaveDown, 0.5f};
      else if (p.role == kAnswer)
        plan = {kReply, kOctaveDown, 0.55f};
      else
        plan = {kAsk, kOrnamented, 0.62f};
      return true;
    case kDrift:
      plan = p.index == 0 ? LeadPlan{kLonging, kPlain, 0.7f}
                          : LeadPlan{kLongingAgain, kSyncopated, 0.74f};
      return true;
    case kOrbit:
      if (p.index < 2) return false;
      if (last)
        plan = {kOrbitClimb, kPlain, 0.7f};
      else
        plan = {p.role == kQuestion ? kOrbitAsk : kOrbitReply, p.index >= 4 ? kOrnamented : kPlain,
                0.62f};
      return true;
    case kSurge:
      if (p.role == kBreath) return false;
      if (p.role == kClimax) {
        if (p.climaxIndex == kClimaxPhrases - 1 || last)
          plan = {kLiftHome, kPlain, 0.9f};
        else
          plan = {p.climaxIndex % 2 == 0 ? kLift : kLiftReply,
                  p.climaxIndex > 0 ? kOrnamented : kPlain, 0.88f};
        return true;
      }
      if (p.role == kQuestion)
        plan = {kAsk, p.index >= 2 ? kOrnamented : kPlain, 0.8f};
      else
        plan = {kReply, p.index >= 2 ? kSyncopated : kPlain, 0.8f};
      return true;
    case kGather:
      plan = {kGatherClimb, kPlain, 0.8f};
      return true;
    default:
      return false;
  }
}

void WriteLine(Writer& w, Voice voice, const Phrase& p, const Line& line, float level, float pan,
               float legato) {
  for (const ThemeNote& n : line) {
    const int bar = static_cast<int>(n.beat) / kBeatsPerBar;
    if (bar >= p.bars) break;
    Write(w, voice, p.firstBar + bar, n.beat - static_cast<float>(bar * kBeatsPerBar),
          n.beats * legato, static_cast<float>(n.pitch),
          level * (n.beat == static_cast<int>(n.beat) ? 1.0f : 0.85f), pan);
  }
}

// The lead's note sounding at a phrase's beat, 0 for none.
int LeadAt(const Line& lead, float beat) {
  for (const ThemeNote& n : lead)
    if (beat >= n.beat && beat < n.beat + n.beats) return n.pitch;
  return 0;
}

// Rhythms of the counter-line, one bar each: (beat, beats) pairs.
constexpr float kCounterRhythms[3][3][2] = {
    {{0, 1.5f}, {1.5f, 0.5f}, {2, 2}},
    {{0, 2}, {2, 1}, {3, 1}},
    {{0, 3}, {3, 1}, {-1, 0}},
};

// A line under the lead from the chord's tones, moving by the smallest steps,
// against the lead's direction, never on the lead's note or next to it.
Line CounterLine(const Writer& w, const Phrase& p, const Line& lead, int slow) {
  Line line;
  int previous = 65, previousLead = 0;
  for (int bar = 0; bar < p.bars; ++bar) {
    const float(&rhythm)[3][2] = kCounterRhythms[slow ? 2 : (bar + p.index) % 2];
    for (const auto& r : rhythm) {
      if (r[0] < 0) continue;
      const float beat = static_cast<float>(bar * kBeatsPerBar) + r[0];
      const Chord& chord = ChordAt(w.map, p.firstBar + bar, r[0]);
      const int above = LeadAt(lead, beat);
      int best = 0, bestCost = 1 << 20;
      for (int n = 57; n <= 72; ++n) {
        if (!IsChordTone(chord, n)) continue;
        if (above && (std::abs(above - n) < 3 || (above - n) % 12 == 0 || n > above)) continue;
        int cost = 2 * std::abs(n - previous) + (n == previous ? 3 : 0);
        if (above && previousLead && (above - previousLead) * (n - previous) > 0) cost += 4;
        if (cost < bestCost) {
          bestCost = cost;
          best = n;
        }
      }
      if (!best) continue;
      line.push_back({beat, r[1], best});
      previous = best;
      if (above) previousLead = above;
    }
  }
  return line;
}

bool CounterFor(const Phrase& p, bool& slow) {
  slow = false;
  switch (p.section) {
    case kDrift:
      return p.index == 1;
    case kOrbit:
      slow = true;
      return p.index < 2 || p.index >= 4;
    case kSurge:
      return p.role == kAnswer || p.role == kClimax;
    default:
      return false;
  }
}

// Sparks of sound as the swarm's sparks appear, more of them as more appear.
void IntroBells(Writer& w) {
  const double sparks = kSparkStartMs / 1000.0, complete = kSwarmCompleteMs / 1000.0;
  for (int bar = w.map.firstBar[kIntro]; bar < w.map.firstBar[kIntro + 1]; ++bar)
    for (int eighth = 0; eighth < 8; ++eighth) {
      const double t = TimeAt(w.map, bar, eighth * 0.5);
      if (t < sparks) continue;
      const double density = 0.2 + 0.5 * (t - sparks) / (complete - sparks);
      const uint32_t h = HashU32(static_cast<uint32_t>(bar * 8 + eighth) + 7u);
      if ((h & 0xffff) >= density * 0x10000) continue;
      const Voicing& v = w.voicings[static_cast<size_t>(2 * bar + eighth / 4)];
      Write(w, kBell, bar, eighth * 0.5f, 1.0f,
            static_cast<float>(v.notes[(h >> 16) % kVoicingSize] + 24),
            0.35f + 0.2f * static_cast<float>((h >> 20) & 7) / 7.0f,
            (h & 0x100000) ? 0.55f : -0.55f);
    }
}

// Slow bells on the chord's upper tones, twice a bar, as the rings turn.
void OrbitBells(Writer& w, const Phrase& p) {
  for (int bar = 0; bar < p.bars; ++bar)
    for (int half = 0; half < 2; ++half) {
      const Voicing& v = w.voicings[static_cast<size_t>(2 * (p.firstBar + bar) + half)];
      const int tone = 4 - half - (bar % 2) - (p.index % 2);
      Write(w, kBell, p.firstBar + bar, half * 2.5f, 2.0f, static_cast<float>(v.notes[tone] + 12),
            0.5f, half ? 0.5f : -0.5f);
    }
}

// The home question again, one note a bar, high and far.
void HushBells(Writer& w) {
  const Line ask = ThemeLine(kAsk);
  for (int bar = w.map.firstBar[kHush] + 1, i = 0; bar < w.map.firstBar[kHush + 1]; ++bar, ++i)
    Write(w, kBell, bar, i % 2 ? 1.5f : 0.0f, 3.0f,
          static_cast<float>(ask[static_cast<size_t>(i) % ask.size()].pitch + 12), 0.45f,
          i % 2 ? 0.45f : -0.45f);
}

}  // namespace

void WriteMelody(Writer& w) {
  for (int section = 0; section < kSectionCount; ++section) {
    for (int bar = w.map.firstBar[section]; bar < w.map.firstBar[section + 1];) {
      const Phrase p = PlaceOf(w.map, bar).phrase;
      bar = p.firstBar + p.bars;
      LeadPlan plan{};
      Line lead;
      if (LeadFor(p, plan)) {
        lead = Vary(ThemeLine(plan.theme), plan.variation, w.map, p.firstBar);
        WriteLine(w, kLead, p, lead, plan.level, 0.1f, 0.95f);
      }
      bool slow = false;
      if (CounterFor(p, slow))
        WriteLine(w, kCounter, p, CounterLine(w, p, lead, slow), slow ? 0.6f : 0.55f, -0.3f, 0.9f);
      if (section == kOrbit && p.index < 2) OrbitBells(w, p);
    }
  }
  IntroBells(w);
  HushBells(w);
  // The arrival: the lead on the tonic, the counter-line on the major third.
  const int finale = w.map.firstBar[kFinale];
  const float held = static_cast<float>(kBeatsPerBar * BarsIn(w.map, kFinale));
  Write(w, kLead, finale, 0.0f, held, 86.0f, 0.9f, 0.1f);
  Write(w, kCounter, finale, 0.0f, held, 66.0f, 0.7f, -0.3f);
}
