#pragma once

#include <cstdint>
#include <vector>

inline constexpr int kSampleRate = 44100;

// The buses every voice writes into: the dry stereo pair and two mono sends.
struct MixBuses {
  std::vector<float> left, right, reverbSend, delaySend;
};

void ResizeBuses(MixBuses& buses, int frames);

// Where and how loud a note lands on the buses.
struct Placement {
  float gain;
  float pan;     // -1 left .. 1 right, equal power
  float reverb;  // send levels relative to gain
  float delay;
};

float MidiToHz(float midi);

// A state-variable filter (Chamberlin form, two passes per sample for headroom
// near the top of the range). Cheap, stable for cutoffs below a quarter of the rate.
struct Svf {
  float low = 0.0f, band = 0.0f;
};
void SvfStep(Svf& f, float input, float cutoffHz, float resonance, float* low, float* band,
             float* high);

// Sustained detuned-saw chord tone; brightness 0..1 per control block (64 frames)
// opens the filter, so the pad follows the piece's intensity while it sounds.
void RenderPad(MixBuses& buses, double start, double length, float midi, Placement where,
               const std::vector<float>& brightness, uint32_t seed);
void RenderBass(MixBuses& buses, double start, double length, float midi, Placement where,
                float bite);
void RenderPluck(MixBuses& buses, double start, float midi, Placement where, float decaySeconds);
void RenderLead(MixBuses& buses, double start, double length, float midi, Placement where);
void RenderKick(MixBuses& buses, double start, Placement where);
void RenderSnare(MixBuses& buses, double start, Placement where, uint32_t seed);
void RenderHat(MixBuses& buses, double start, Placement where, float decaySeconds, uint32_t seed);
// A soft noise wash, rising to its end (riser) or falling from its start (cymbal).
void RenderWash(MixBuses& buses, double start, double length, bool rising, Placement where,
                uint32_t seed);

inline constexpr int kControlBlock = 64;
