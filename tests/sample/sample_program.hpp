// A small program for the device, used until the utility runs on it: a producer thread feeds
// a message queue and the main thread adds up what arrives.
#pragma once

namespace velorin::sample {

inline constexpr int kSampleMessages = 5;
inline constexpr unsigned kSampleIntervalMs = 500;

// The program's entry; returns the sum of the numbers received (1 + 2 + ... + 5 = 15).
int sampleMain();

}  // namespace velorin::sample
