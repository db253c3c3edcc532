#pragma once

#include <vector>

// Freeverb-style hall: eight damped combs and four allpasses per side, the right
// side's delay lines a little longer for width. Adds the wet signal to left/right.
void AddReverb(const std::vector<float>& send, float wet, std::vector<float>& left,
               std::vector<float>& right);

// Echoes that alternate between the sides, each one feedback times the last.
void AddPingPongDelay(const std::vector<float>& send, double delaySeconds, float feedback,
                      std::vector<float>& left, std::vector<float>& right);

// First-order high-pass near 10 Hz: nothing of the synthesis is meant to sit at DC.
void RemoveDc(std::vector<float>& channel);

float PeakOf(const std::vector<float>& left, const std::vector<float>& right);
