// SampleChapter4.h: the sample story's fourth chapter in its two halves, for
// the walkthrough, which quits and starts the program again between them.
#pragma once

#include "tests/scenes/support/SampleWalk.h"

namespace scenetest {

// From the inner sanctum, just arrived: the outer sanctum's two codes broken,
// the machete and two pegs found past the volcano, the vines before the
// village cut with the machete; it ends at the village's entrance with the
// three pegs in the bar.
void playChapter4ToTheVillage(SampleWalk& w);

// From the village's entrance: each village's board given its peg and won
// down to one peg, and the canoe of the third village boarded, which leads
// into the fifth chapter's slides and the tavern gallery at night.
void playChapter4Villages(SampleWalk& w);

} // namespace scenetest
