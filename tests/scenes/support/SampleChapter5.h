// SampleChapter5.h: the fifth chapter's play in its two halves, for the
// walkthrough, which quits and starts the program again between them: the
// tavern's board game and the mansion's keypad first, then from the
// mansion's front the view finder, the study's safe, the dive shop's circuit
// board and the wind race to the chapter's end.
#pragma once

#include "tests/scenes/support/SampleWalk.h"

namespace scenetest {

// From the tavern gallery at night to the mansion's front, its door opened
// by the keypad.
void playChapter5UpToTheMansionDoor(SampleWalk& w);
// From the mansion's front (the door open) to the chapter's end.
void playChapter5FromTheMansionDoor(SampleWalk& w);

} // namespace scenetest
