// SampleChapters.h: the sample story's chapters 3 to 6 played as a player
// plays them. Each starts with the player just arrived in the chapter's
// first room (its slides seen) and ends with the click that ends the chapter,
// having checked the next chapter's slides and first room (the sixth: the
// story's last slides and the main menu after them). Each is played in two
// halves, for a quit and restart of the program between them, and is one
// file of its own (SampleChapter3.cpp ...).
#pragma once

#include "tests/scenes/support/SampleWalk.h"

namespace scenetest {

// The third chapter in two halves, for a quit and restart between them: up
// to the caves' map brought back to the welcome centre, and from there on.
void playChapter3ToTheMap(SampleWalk& w);
void playChapter3FromTheMap(SampleWalk& w);
// The fourth and fifth chapters' halves: SampleChapter4.h, SampleChapter5.h.
// The last chapter in two halves, for a quit and restart between them: from
// the dock over to the island, the lures laid and the temple door opened, up
// to the hall behind it; and from that hall on to the story's end.
void playChapter6ToTheTempleDoor(SampleWalk& w);
void playChapter6FromTheTempleDoor(SampleWalk& w);

} // namespace scenetest
