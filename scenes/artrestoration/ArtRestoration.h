// ArtRestoration.h: the painting restoration (room 19). The active one of
// three paintings is cut into a grid of tiles whose places are shuffled; the
// player selects two tiles (or drags one onto another) to swap their places
// until every tile stands in its own cell. A restored painting glows and the
// script hears "onFixedPainting"; once the scripts count all three fixed,
// "onWin". The board stays as it is across visits until a new game or
// replayed chapter clears it. Which painting is active and the order in
// which the paintings were met live in the scripts.
#pragma once

#include "game/rooms/Room.h"
#include "scenes/common/RandomDraw.h"

#include <vector>

namespace sprite {
class ScalerSprite;
}

namespace window {
class Event;
}

class ArtPiece;

class ArtRestoration : public Room {
public:
    static constexpr int PAINTING_COUNT = 3;
    // The grid of every order value before the definition gives its own.
    static constexpr int DEFAULT_COLUMNS = 6;
    static constexpr int DEFAULT_ROWS = 5;
    // The two frames the room shows over a cell.
    static constexpr int FRAME_KIND_HOVER = 0;
    static constexpr int FRAME_KIND_SELECTED = 1;
    // Frames of a swap, of each half of the glow, and from the last
    // painting to "onWin".
    static constexpr int SWAP_FRAMES = 10;
    static constexpr int GLOW_FRAMES = 10;
    static constexpr int WIN_DELAY = 125;

    // Sound table entries.
    static constexpr int SOUND_SELECTED = 78;
    static constexpr int SOUND_SWAP_A = 79;
    static constexpr int SOUND_SWAP_B = 80;
    static constexpr int SOUND_HOME = 81;
    static constexpr int SOUND_RESTORED = 82;

    // The mini-game index of its instructions and the room it leads back to
    // (the gallery).
    static constexpr int INSTRUCTIONS_GAME = 4;
    static constexpr int GALLERY_ROOM = 12;
    // The room's table in `rooms`.
    static const char kScriptTable[];

    // No tiles, a 6 x 5 grid for every order value, painting 0 active.
    ArtRestoration();
    // Takes the tiles off and lets go of the frames.
    ~ArtRestoration() override;

    HV_CLASS_NAME("ArtRestoration", Room)
    HV_DECLARE_METACLASS(ArtRestoration);

    // The room's hover and selected frames hidden: the tiles show them
    // again as they paint.
    void paint(window::Graphics* g) override;
    // "onWin": the script's "onWin" and the way back to the gallery.
    void handleAction(lang::Object* sender, lang::String* command) override;
    // The base's tick while the room shows and takes input.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // Numbers 1 to 6: columns and rows of the grids for order values 1 to 3.
    void setDefinition(sprite::SpriteDefinition* definition) override;
    int mouseDown(window::Event* e) override;
    // A tile that its press selected, let go over another that can move,
    // swaps with it, as a click on that one would.
    int mouseUp(window::Event* e) override;
    bool mouseMove(window::Event* e) override;
    void onEnter() override;
    void onExit() override;
    void getGameInstructionsInfo(int& game, int& x, int& y) override;
    // A new game: no painting won, met or restored.
    void resetProgress() override;
    // The ends of a swap and of the glow.
    bool handleEvent(window::Event* e) override;

    // Every painting's tiles taken off the board.
    void clearTiles();

    // The room's frame of that kind shown at the cell whose corner is
    // (x, y), for the active painting only; or every one hidden.
    void showFrameAt(int kind, int x, int y, bool shown);
    // The corner of cell `slot` of the active painting's grid.
    void cellPosition(int slot, int& x, int& y);
    // The tile is one of the two being swapped.
    bool isSwapping(const ArtPiece* piece) const { return piece && (piece == m_pSwapA || piece == m_pSwapB); }
    // The order value of painting p (0 to 2) as last read (1 to 3, 0 unmet).
    int getOrderValue(int p) const { return p >= 0 && p < PAINTING_COUNT ? m_orderValues[p] : 0; }
    // Every tile of painting p is home (true without tiles).
    bool isRestored(int p) const;
    // The room is not in a transition, the instructions are away, and the
    // game is not won.
    bool inputAllowed();

    // The draws of the shuffle (null: the room's own generator again).
    void setRandomDraw(RandomDraw* draw) { m_pDraw = draw ? draw : &m_ownDraw; }

    int getActivePainting() const { return m_nActive; }
    const std::vector<ArtPiece*>& tiles(int p) const { return m_tiles[p]; }
    bool isWon() const { return m_bWon; }
    bool isLeaving() const { return m_bLeaving; }
    bool isClean() const { return m_bClean; }
    int getColumns(int order) const { return m_columns[order - 1]; }
    int getRows(int order) const { return m_rows[order - 1]; }
    sprite::ScalerSprite* getThumbnail() const { return m_pThumbnail; }

private:
    // Builds painting p's board and shuffles it; false (nothing built) when
    // the scripts give no order value 1 to 3 for it.
    bool buildBoard(int p);
    void shuffle(int p);
    // The grid of the active painting's order value.
    void grid(int& columns, int& rows);
    // The frames of painting p made afresh from its "ArtSelection".
    void makeFrames(int p);
    // Each tile shown when its painting is active and not yet restored.
    void updateVisibility(ArtPiece* piece);
    // The active painting's tiles at home first, then the others, then the
    // selected and hover frames, on top of the room.
    void restack();
    // Hover follows the point over the visible tiles of the active painting.
    void hoverAt(int x, int y);
    // The visible tile of the active painting under the room point that is
    // not home (the last drawn first), or null.
    ArtPiece* movableTileAt(int x, int y);
    // Counts the selected tiles and starts a swap for two.
    void judgeSelection();
    void swapDone();
    void startNextPainting();
    void leaveToGallery();
    void makeThumbnail();
    // Painting p's sprite, or null.
    sprite::SpriteBase* painting(int p) const { return p >= 0 && p < PAINTING_COUNT ? m_paintings[p] : nullptr; }

    bool m_bWon;
    bool m_bInitialised;
    bool m_bLeaving;
    bool m_bClean;
    int m_orderValues[PAINTING_COUNT];
    sprite::SpriteBase* m_paintings[PAINTING_COUNT];
    sprite::ScalerSprite* m_pThumbnail;
    ArtPiece* m_pSwapA;
    ArtPiece* m_pSwapB;
    // The tile the press under way selected, or null.
    ArtPiece* m_pPressed;
    sprite::SpriteBase* m_hoverFrames[PAINTING_COUNT];
    sprite::SpriteBase* m_selectedFrames[PAINTING_COUNT];
    std::vector<ArtPiece*> m_tiles[PAINTING_COUNT];
    int m_columns[PAINTING_COUNT];
    int m_rows[PAINTING_COUNT];
    int m_nActive;
    RandomDraw m_ownDraw;
    RandomDraw* m_pDraw;
};
