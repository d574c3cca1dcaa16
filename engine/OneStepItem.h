// What the one-step built-in items share: the progress of their single step, the result they hand
// back to the scanning thread, and the counting of objects whose cleaning functions report the
// deleted count themselves (a registry key may stand for several objects, the Recycle Bin for all
// of its files).
#pragma once

#include "catalogue/ModItem.h"
#include "engine/RunContext.h"

// The whole step at once: item bar at 100 and the total bar one item's share (100) further; the
// scanning thread ranged the total bar 0..n*100 for n items.
void CompleteOneStep(const CRunContext* context);

// Result of a one-step function: 0 when the run's stop test says stop, else 1.
int OneStepResult(const CRunContext* context);
