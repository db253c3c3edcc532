#pragma once

#include "tools/music_gen/synth.h"

// The pitched instruments. Each renders one note onto its target; velocity is
// 0..1. Every non-bass voice is high-passed so that the low end stays the
// kick's and the bass's.

// Three detuned saws slowly drifting against each other (a chorus), warmed by
// saturation, through a low-pass that follows the brightness curve and moves
// on its own; the attack grows with the note's length.
void RenderPad(Target& out, double start, double length, float midi, float velocity,
               const ControlCurve& brightness, uint32_t seed);
// The pads' breath: a high, soft tone with a whisper of noise.
void RenderAir(Target& out, double start, double length, float midi, float velocity, uint32_t seed);
// Saw and sine, a filter that bites at the start of the note, saturated so
// that small speakers hear its harmonics.
void RenderBass(Target& out, double start, double length, float midi, float velocity);
// A two-operator FM pluck.
void RenderPluck(Target& out, double start, float midi, float velocity, float decaySeconds);
// Two saws with a delayed vibrato and a glide from the note before (fromMidi,
// 0 for none).
void RenderLead(Target& out, double start, double length, float midi, float velocity,
                float fromMidi);
// A soft reed: a rounded triangle with its second harmonic, under the lead.
void RenderCounter(Target& out, double start, double length, float midi, float velocity);
// An FM bell with inharmonic partials and a long decay.
void RenderBell(Target& out, double start, float midi, float velocity);
