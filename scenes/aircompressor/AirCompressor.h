// AirCompressor.h: the broken air compressor (room 21), a repair in two
// stages whose story steps its script drives. Fuses: four coloured fuses lie
// on the ground, the player carries them on the cursor into three fuse
// positions, each of which has one right fuse. Wires: four diodes at the
// ends of coloured wires are dragged into four sockets, each of which has
// one right diode. Beside them run the effects: a light flickering, pulsing
// or glowing on one of two button overlays, short spark animations, and
// sparkles on a rusty gear (AirCompressorEffects.cpp).
#pragma once

#include "core/util/Point.h"
#include "core/util/RectangleNM.h"
#include "game/rooms/Room.h"
#include "scenes/common/RandomDraw.h"

#include <cstdint>
#include <string>

namespace sprite {
class AnimateSprite;
}

namespace window {
class Event;
}

class AirCompressor : public Room {
public:
    static constexpr int FUSE_COUNT = 4;
    static constexpr int POSITION_COUNT = 3;
    static constexpr int DIODE_COUNT = 4;
    static constexpr int SPARK_SLOTS = 4;
    // Item cursors: nothing held, the key, the four fuses (green, blue,
    // purple, yellow), the oil can and the diode.
    static constexpr int HELD_NOTHING = 8;
    static constexpr int ITEM_KEY = 12;
    static constexpr int ITEM_FIRST_FUSE = 13;
    static constexpr int ITEM_LAST_FUSE = 16;
    static constexpr int ITEM_OIL_CAN = 17;
    static constexpr int ITEM_DIODE = 18;
    // Light effects.
    static constexpr int LIGHT_OFF = 0;
    static constexpr int LIGHT_FLICKER = 1;
    static constexpr int LIGHT_PULSE = 2;
    static constexpr int LIGHT_GLOW = 3;
    // A pulse rises or falls over this many frames.
    static constexpr int PULSE_FRAMES = 24;
    // Spark routines: at the fuse door, the fuse positions, the sockets, anywhere.
    static constexpr int SPARKS_DOOR = 0;
    static constexpr int SPARKS_FUSES = 1;
    static constexpr int SPARKS_SOCKETS = 2;
    static constexpr int SPARKS_ANYWHERE = 3;
    // A routine lasts 24 to 48 frames; at full sockets exactly 24.
    static constexpr int SPARK_FRAMES_MIN = 24;
    static constexpr int SPARK_FRAMES_MAX = 48;
    // A diode released this close to where it was pressed stays carried.
    static constexpr int CARRY_SLACK = 3;
    // A diode in a socket stands this far in from its corner.
    static constexpr int SOCKET_INSET = 5;

    // Sound table entries.
    static constexpr int SOUND_SPARK_FIRST = 83;
    static constexpr int SOUND_SPARK_LAST = 85;
    static constexpr int SOUND_FUSE_PLACED = 97;
    static constexpr int SOUND_BUTTON = 98;

    // The room the compressor is left for (the dive dock).
    static constexpr int DIVE_DOCK_ROOM = 14;
    // The mini-game of its instructions, which open on a first visit.
    static constexpr int INSTRUCTIONS_GAME = 5;

    // One spark clone's turn.
    struct SparkSlot {
        int delay = 0;       // frames to the slot's next spark, 0 = none
        bool active = false; // its spark is playing
    };

    // Nothing held, positions and sockets empty, the light on "Button_Start".
    AirCompressor();
    // Releases the spark clones.
    ~AirCompressor() override;

    HV_CLASS_NAME("AirCompressor", Room)
    HV_DECLARE_METACLASS(AirCompressor);

    // The room, then the wires.
    void paint(window::Graphics* g) override;
    // Sparks, gear sparkles and the light's countdown, then the base's
    // tick; nothing while the instructions show or the game does not play.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    void setDefinition(sprite::SpriteDefinition* definition) override;
    // The question mark, the close button, the diodes, else the room's own
    // handling (a fuse the press put on the cursor may then be dragged).
    int mouseDown(window::Event* e) override;
    // A dragged diode is dropped; a fuse dragged from where its press took
    // it is let go as a click there would, and a fuse it swaps out of a full
    // holder goes back where the dragged one came from.
    int mouseUp(window::Event* e) override;
    // A dragged diode leaving the wiring area goes home.
    bool mouseMove(window::Event* e) override;
    // The puzzle mode on and the instructions queued.
    void onEnter() override;
    // What the player holds goes back where it came from; the puzzle mode
    // off and the instructions closed.
    void onExit() override;
    void getGameInstructionsInfo(int& game, int& x, int& y) override;
    // The dive dock through a zoom; the item cursor is dropped.
    void goToRoom(int index) override;
    // The ends of the bolts, the light's steps and the gear sparkles.
    bool handleEvent(window::Event* e) override;

    // Fuses.
    std::string getGroundFuseClicked(int x, int y);
    int getClickedFuseIndex(int x, int y);
    int getNumCorrectFuses();
    void initFuseGame();
    void showFuses(bool show);
    int pickUpItem(const lang::String& name);
    // The held fuse goes into the holder; with nothing held, the holder's
    // fuse comes onto the cursor. A fuse knocked out of a full holder goes
    // where the placed one came from: its holder if empty, else the ground.
    // Returns the item held afterwards.
    int placeFuse(int position);
    int dropItem(bool putBack);
    void lightFuses(bool on);
    // The right fuse in every position, lit, and (with `wires`) the right
    // diode in every socket: the board of a stage the story has passed.
    void fitRightParts(bool wires);
    bool holdingItem() const { return m_nHeld >= ITEM_KEY && m_nHeld <= ITEM_DIODE; }

    // Wires.
    void initWireGame();
    void startWireGame(bool on) { m_bWireStage = on; }
    int getWiringStatus();
    void clearWrongWires();
    // The dragged diode put into the socket (-1: home).
    void dropWire(int socket);

    // Effects (AirCompressorEffects.cpp).
    void setLightEffect(int kind, bool onStart);
    void pressButton(const lang::String& name, bool down);
    void enableButtons(bool startActive);
    void startSparkRoutine(int kind);
    void doGearSparkles(bool on) { m_bGearSparkles = on; }
    bool isShowingAnimation();

    // The draws of the effects (null: the room's own generator again).
    void setRandomDraw(RandomDraw* draw) { m_pDraw = draw ? draw : &m_ownDraw; }

    int getHeldItem() const { return m_nHeld; }
    int getPlacedFuse(int position) const { return m_placed[position]; }
    int getSocketContent(int socket) const { return m_sockets[socket]; }
    int getDraggedDiode() const { return m_nDragged; }
    bool isCarrying() const { return m_bCarrying; }
    int getBoltsRunning() const { return m_nBoltsRunning; }
    int getLightKind() const { return m_nLightKind; }
    bool isLightStepping() const { return m_bLightStepping; }
    int getLightCountdown() const { return m_nLightCountdown; }
    bool isLightOnStart() const { return m_bLightOnStart; }
    bool getLightPhase() const { return m_bLightPhase; }
    bool isSparkRoutineRunning() const { return m_bSparkRunning; }
    int getSparkFramesLeft() const { return m_nSparkFramesLeft; }
    const SparkSlot& sparkSlot(int i) const { return m_sparkSlots[i]; }
    sprite::AnimateSprite* sparkClone(int i) const { return m_sparks[i]; }
    bool isWireStage() const { return m_bWireStage; }
    const util::RectangleNM& getWireAnchors() const { return m_wireAnchors; }
    uint32_t getWireColour(int diode) const { return m_wireColours[diode]; }
    int getWireWidth() const { return m_nWireWidth; }

    // The native methods of hv.AirCompressor, ending with an empty entry.
    static const luaL_Reg* luaMethods();

private:
    // The bolt of the position counted as running or not.
    void countBolt(int position, bool running);
    // The item's pick-up and drop sounds.
    static void playItemSound(int item, bool pickUp);
    // Every position filled.
    bool allPositionsFilled() const;
    bool allSocketsFilled() const;
    // Diode d back at its home, shown, with the hand over it.
    void sendHome(int d);
    // The anchor of diode i's wire.
    void wireAnchor(int i, int& x, int& y) const;
    // The light's per-frame countdown and its step; a hold's length.
    void tickLight();
    void lightStep();
    int lightDelay(bool afterStep);
    // The spark routine's frame; a spark (re)placed in a slot.
    void tickSparks();
    void placeSpark(int slot, bool shown, int socket = -1);
    void resetSparkSlots();
    void tickGearSparkles();
    // The lit and the unlit overlay.
    sprite::AnimateSprite* litButton();
    sprite::AnimateSprite* unlitButton();

    int m_nHeld;
    // The position the held fuse was taken out of (-1: from the ground).
    int m_nHeldFrom;
    // Where the press that put the held fuse on the cursor began; (-1, -1)
    // when no press did. The holder that fuse came from (-1: the ground).
    util::Point m_fusePress;
    int m_nFusePressFrom;
    int m_nSparkKind;
    int m_nSparkFramesLeft;
    SparkSlot m_sparkSlots[SPARK_SLOTS];
    bool m_bSparkRunning;
    bool m_bGearSparkles;
    bool m_bWireStage;
    util::Point m_fuseCorners[POSITION_COUNT];
    sprite::SpriteBase* m_groundFuses[FUSE_COUNT];
    int m_nFuseWidth;
    int m_nFuseHeight;
    int m_nBoltsRunning;
    sprite::AnimateSprite* m_positionSprites[FUSE_COUNT][POSITION_COUNT];
    int m_correctFuses[POSITION_COUNT];
    int m_placed[POSITION_COUNT];
    sprite::AnimateSprite* m_bolts[POSITION_COUNT];
    // Which bolts are counted in m_nBoltsRunning: a bolt started again
    // before its end is counted once, as it ends once.
    bool m_boltCounted[POSITION_COUNT];
    sprite::SpriteBase* m_diodes[DIODE_COUNT];
    util::Point m_diodeHomes[DIODE_COUNT];
    uint32_t m_wireColours[DIODE_COUNT];
    int m_nWireWidth;
    sprite::SpriteBase* m_socketSprites[DIODE_COUNT];
    int m_correctDiodes[DIODE_COUNT];
    int m_sockets[DIODE_COUNT];
    int m_nDragged;
    util::RectangleNM m_wiringArea;
    util::RectangleNM m_wireAnchors;
    util::Point m_pressPoint;
    bool m_bCarrying;
    int m_nLightKind;
    int m_nLightCountdown;
    bool m_bLightStepping;
    bool m_bLightOnStart;
    bool m_bLightPhase;
    sprite::AnimateSprite* m_sparks[SPARK_SLOTS];
    RandomDraw m_ownDraw;
    RandomDraw* m_pDraw;
};
