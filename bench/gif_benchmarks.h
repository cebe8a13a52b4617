#pragma once

#include "bench/goal_reporter.h"

namespace lorvane {

// The animated GIF of a picture at scale 1 takes at most ten times as long as its PNG, playing
// included, and at most 64 KiB, measured on the bench pictures. Needs a running QGuiApplication.
void AddGifGoals(GoalReporter& reporter);

}  // namespace lorvane
