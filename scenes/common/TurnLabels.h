// TurnLabels.h: the labels of the two-sided games (the card game and noughts
// and crosses): a background and two labels for each side, "AITurnBG" with
// "AITurnActive" and "AITurnInactive" for the computer, "PlayerTurnBG" with
// "PlayerTurnActive" and "PlayerTurnInactive" for the player, and the two
// scores "AIScore" and "PlayerScore".
#pragma once

class Room;

class TurnLabels {
public:
    // The alpha bytes of the labels: as drawn (on turn), off turn, and faded.
    static constexpr int ALPHA_ON_TURN = 128;
    static constexpr int ALPHA_OFF_TURN = 60;
    static constexpr int ALPHA_FADED = 15;

    // The sides' names (the text items "STR_CONCENTRATION_AI_TURN_NAME" and
    // "STR_CONCENTRATION_PLAYER_TURN_NAME") in their labels; the inactive
    // labels at that alpha.
    static void showNames(Room* room, int inactiveAlpha);
    // Both backgrounds off turn (frame 0).
    static void clearTurn(Room* room);
    // The side on turn: its background on (frame 1) and its active label as
    // drawn, both fading in from the off-turn alpha over `fadeFrames` (at
    // once for 0); the other side's background off at the off-turn alpha
    // and its labels faded.
    static void showTurn(Room* room, bool player, int fadeFrames);
    // The scores in decimal.
    static void showScores(Room* room, int player, int computer);
};
