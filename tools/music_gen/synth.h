#pragma once

#include <cstdint>
#include <vector>

// The synthesiser's common ground: buses, control curves, where a note lands,
// and the building blocks every instrument is made of.

inline constexpr int kSampleRate = 44100;
inline constexpr float kInverseRate = 1.0f / kSampleRate;
inline constexpr float kPi = 3.14159265358979f;
inline constexpr float kTwoPi = 2.0f * kPi;

// The buses instruments play into, from firstFrame of the piece: the drums and
// bass in the middle (dry), everything that follows the swarm's spread in
// width (wide), and two mono sends.
struct MixBuses {
  int firstFrame = 0;
  std::vector<float> dryLeft, dryRight, wideLeft, wideRight, reverbSend, delaySend;
};
void ResizeBuses(MixBuses& buses, int firstFrame, int frames);
int EndFrame(const MixBuses& buses);

// A value for every kControlBlock frames of the piece, from its start;
// read between the blocks linearly.
inline constexpr int kControlBlock = 64;
using ControlCurve = std::vector<float>;
float ControlAt(const ControlCurve& curve, int frame);

// The curves notes follow while they sound.
struct Automation {
  ControlCurve swell;       // 0..1, how far the picture's swell is from rest
  ControlCurve brightness;  // 0..1, how open the pads' filters are
  ControlCurve duck;        // 0..1, the kick's pull on what it ducks
};

// Where and how a note lands.
struct Placement {
  float gain;
  float pan;     // -1 left .. 1 right, equal power
  float reverb;  // send levels relative to gain
  float delay;
  float duck;   // how deep the kick ducks it, 0..1
  float swell;  // how far its level follows the swell, 0..1
  bool wide;    // on the wide bus
};

// One note's way onto the buses.
class Target {
 public:
  Target(MixBuses& buses, const Placement& where, const Automation& automation);
  int First() const { return buses_.firstFrame; }
  int End() const { return EndFrame(buses_); }
  // Adds one frame of the note (frame of the piece); frames outside the buses are dropped.
  void Add(int frame, float left, float right);

 private:
  MixBuses& buses_;
  const Automation& automation_;
  float toLeft_, toRight_, toReverb_, toDelay_, duck_, swell_;
  std::vector<float>&left_, &right_;
};

float MidiToHz(float midi);
int FrameOf(double seconds);

// sin(2 pi turns), by a short series: the same bits on every machine.
float SineOfTurns(float turns);
// A soft clip, tanh-like up to |x| = 3 and flat beyond.
float Soft(float x);
float Noise(uint32_t& state);
// Band-limited sawtooth (PolyBLEP); phase in turns, advanced by step.
float Saw(float& phase, float step);
// Raised-cosine ramp from 0 at t = 0 to 1 at t = rise.
float Ramp(float t, float rise);
// Attack ramp, then sustain to `length`, then a release ramp to silence.
float Gate(float t, float length, float attack, float release);

// exp(-t / seconds), advanced one frame per call by a running product.
struct Decay {
  float value = 1.0f, factor;
  explicit Decay(float seconds);
  float Next();
};

// A state-variable filter (Chamberlin form, two passes per sample for headroom
// near the top of the range); cutoffs are held below 10 kHz.
struct Svf {
  float low = 0.0f, band = 0.0f;
};
void SvfStep(Svf& f, float input, float cutoffHz, float resonance, float* low, float* band,
             float* high);
