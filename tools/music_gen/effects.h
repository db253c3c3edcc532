#pragma once

#include <vector>

// A hall: the send high- and low-passed, 25 ms of pre-delay, four diffusing
// allpasses, then per side eight damped combs and four allpasses (Freeverb's
// tank), the right side's lines a little longer for width. Adds the wet
// signal to left/right.
void AddReverb(const std::vector<float>& send, float wet, std::vector<float>& left,
               std::vector<float>& right);

// Echoes that alternate between the sides, each one feedback times the last
// and a little darker.
void AddPingPongDelay(const std::vector<float>& send, double delaySeconds, float feedback,
                      std::vector<float>& left, std::vector<float>& right);
