// TransitionMosaic.h: a transition that cuts the layer picture into a grid of
// tiles and takes them away in one of six styles (one by one in random
// order, all together, exploding, flying away, as a checkerboard or as
// louver strips); some styles build the arriving picture tile by tile when
// reversed.
#pragma once

#include "sprites/transitions/TransitionBase.h"

namespace sprite {

class TransitionMosaic : public TransitionBase {
public:
    // Styles.
    static constexpr int DISAPPEAR = 0;
    static constexpr int DISAPPEAR_EFFECT = 1;
    static constexpr int EXPLODE = 2;
    static constexpr int FLYAWAY = 3;
    static constexpr int CHECKERBOARD = 4;
    static constexpr int LOUVER = 5;
    // Removal of the tiles of the effect, checkerboard and louver styles.
    static constexpr int REMOVE_WIPE = 0;
    static constexpr int REMOVE_SHRINK = 1;
    // The most tiles a mosaic holds (for instance 30 by 18).
    static constexpr int MAX_TILES = 540;
    // Frames a checkerboard or louver rests at the middle of a layer.
    static constexpr int MIDDLE_PAUSE = 5;

    // One tile: the part of the layer picture it shows, where it is drawn,
    // how it moves and for how many steps it lives.
    struct Tile {
        util::RectangleNM rect;
        util::RectangleNM baseRect;
        util::Point position;
        util::Point velocity;
        bool visible = false;
        int counter = 0;
        int limit = 0;
        float scale = 1.0f;
        bool active = false;
    };

    // Over the whole screen, 24 frames: one by one, wiped, a 5 by 5 grid,
    // one tile a render, moving down.
    TransitionMosaic();
    TransitionMosaic(int frames, int x, int y, int width, int height, bool overlay);

    HV_CLASS_NAME("TransitionMosaic", TransitionBase)
    HV_DECLARE_METACLASS(TransitionMosaic);

    // Tiles never fade.
    bool isFading() override;
    // Moves, shrinks or removes the tiles of the current layer by one frame.
    int stepFrame() override;
    // Goes on to the arriving picture after the fill layer in the two-layer
    // reverse case.
    int advanceCapture() override;
    // The arriving picture is drawn on top while it is built.
    void computeDrawOrder() override;
    // Rewinds and lays the first layer out in tiles.
    void reset() override;
    // Lays the new current layer out in tiles (skipping the fill layer in
    // the two-layer reverse case).
    void onLayerChanged() override;
    // The current layer as its tiles; others as the base draws them.
    bool drawLayer(int layer, window::Graphics* g) override;
    bool isLayerActive(int layer) override;

    // Values out of range are ignored.
    void setStyle(int style);
    void setRemoveMode(int removal);
    void setTilesPerRender(int count);
    // Tiles across and down, held to at least one tile and at most
    // MAX_TILES in all (down gives way first).
    void setGridSize(int across, int down);

    int getStyle() const { return m_nStyle; }
    int getRemoveMode() const { return m_nRemoval; }
    int getGridX() const { return m_nGridX; }
    int getGridY() const { return m_nGridY; }
    int getTilesPerRender() const { return m_nTilesPerRender; }
    int getNextInOrder() const { return m_nNextInOrder; }
    bool isRendered() const { return m_bRendered; }
    // The tiles of the grid as laid out (gridX x gridY, row by row).
    int getTileCount() const { return m_nGridX * m_nGridY; }
    // Tile i (0 <= i < MAX_TILES).
    const Tile& getTile(int i) const { return m_tiles[i]; }
    // Entry i of the removal order (0 <= i < MAX_TILES); -1 beyond the grid.
    int getOrder(int i) const { return m_order[i]; }
    // Whether the arriving picture is built up on a third layer: reversed
    // flyaway, or reversed shrinking effect, checkerboard or louver.
    bool isTwoLayerReverse() const;

protected:
    // Cuts the current layer into tiles, gives them their motion and lives,
    // shuffles the order and sets the direction for the layer.
    void prepareLayer();
    // One step of a shrinking tile over `frames` frames (growing on the
    // arriving layer when reversed).
    void shrinkStep(Tile& tile, int frames);
    bool anyTileVisible() const;
    // Half the frame count, at least 1: the effect, checkerboard and louver
    // styles divide by it.
    int halfFrames() const;

    int m_nStyle;
    int m_nRemoval;
    int m_nGridX;
    int m_nGridY;
    Tile m_tiles[MAX_TILES];
    int m_nTilesPerRender;
    int m_nNextInOrder;
    bool m_bRendered;
    int m_order[MAX_TILES];
};

} // namespace sprite
