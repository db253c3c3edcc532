#include "tools/music_gen/form.h"

namespace {

// The surge holds a breath when one bar is left over and there is room for a
// climax after at least two phrases.
bool HasBreath(int section, int bars) {
  return section == kSurge && bars % kPhraseBars == 1 && bars / kPhraseBars >= kClimaxPhrases + 2;
}

}  // namespace

BarPlace PlaceOf(const TempoMap& map, int bar) {
  const int section = SectionOfBar(map, bar);
  const int first = map.firstBar[section], bars = BarsIn(map, section);
  const int inSection = bar - first;
  const int whole = bars / kPhraseBars > 0 ? bars / kPhraseBars : 1;
  const bool breath = HasBreath(section, bars);
  const int climaxFrom = breath ? bars - kClimaxPhrases * kPhraseBars : bars + 1;
  const int count = whole + (breath ? 1 : 0);

  Phrase p{section, first, kPhraseBars, 0, count, kQuestion, -1};
  if (breath && inSection == climaxFrom - 1) {
    p = {section, bar, 1, whole - kClimaxPhrases, count, kBreath, -1};
  } else {
    const int afterBreath = breath && inSection >= climaxFrom ? 1 : 0;
    int index = (inSection - afterBreath) / kPhraseBars;
    if (index >= whole) index = whole - 1;  // the leftover bars lengthen the last phrase
    const int start = index * kPhraseBars + afterBreath;
    p.index = index + afterBreath;
    p.firstBar = first + start;
    p.bars = index == whole - 1 ? bars - start : kPhraseBars;
    if (afterBreath) {
      p.role = kClimax;
      p.climaxIndex = index - (whole - kClimaxPhrases);
    } else {
      p.role = index % 2 == 0 ? kQuestion : kAnswer;
    }
  }
  return {p, bar - p.firstBar, inSection, bars};
}

float Intensity(const BarPlace& at) {
  const float through = at.sectionBars > 1 ? static_cast<float>(at.inSection) / (at.sectionBars - 1) : 1.0f;
  const Phrase& p = at.phrase;
  switch (p.section) {
    case kIntro:
      return 0.1f + 0.2f * through;
    case kRise:
      return 0.35f + 0.4f * (p.count > 1 ? static_cast<float>(p.index) / (p.count - 1) : 1.0f);
    case kDrift:
      return p.index == 0 ? 0.72f : 0.78f;
    case kOrbit:
      return p.index == p.count - 1 ? 0.78f : 0.58f + 0.03f * static_cast<float>(p.index);
    case kSurge:
      if (p.role == kBreath) return 0.7f;
      if (p.role == kClimax) return 1.0f;
      return 0.84f + 0.02f * static_cast<float>(p.index);
    case kHush:
      return 0.3f;
    case kGather:
      return 0.5f + 0.4f * through;
    default:
      return 1.0f;
  }
}
