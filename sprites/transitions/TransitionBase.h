// TransitionBase.h: what every screen and sprite transition shares: three
// picture layers, the frame counter, a start delay, ping-pong repetition,
// reverse and fade, and the capture protocol through which the canvas or a
// sprite hands the transition its pictures. Effects supply the per-frame
// geometry (stepFrame) and the drawing of their layers.
#pragma once

#include "core/lang/Class.h"
#include "sprites/transitions/TransitionImage.h"

#include <cstdint>

namespace window {
class Graphics;
class ImageBase;
} // namespace window

namespace sprite {

class TransitionBase : public lang::Object {
public:
    // Results of step().
    static constexpr int STEP_NOT_RUNNING = 2;
    static constexpr int STEP_DELAYING = 3;
    static constexpr int STEP_FINISHED = 4;
    static constexpr int STEP_PING_PONG = 5;

    // Direction bits; diagonals are sums (3 up-left, 6 up-right, 9 down-left,
    // 12 down-right).
    static constexpr int DIR_LEFT = 1;
    static constexpr int DIR_UP = 2;
    static constexpr int DIR_RIGHT = 4;
    static constexpr int DIR_DOWN = 8;

    // The area of the whole screen and the usual length of a transition.
    static constexpr int SCREEN_WIDTH = 800;
    static constexpr int SCREEN_HEIGHT = 600;
    static constexpr int DEFAULT_FRAMES = 24;

    // Over the whole screen, 24 frames, drawn opaque.
    TransitionBase();
    // Over (x, y, width, height); overlay transitions draw their layers blended.
    TransitionBase(int frames, int x, int y, int width, int height, bool overlay);
    // Releases the layer pictures.
    ~TransitionBase() override;

    HV_CLASS_NAME("TransitionBase", lang::Object)
    HV_DECLARE_METACLASS(TransitionBase);

    // A plain transition sharing this one's pictures, layer geometry, capture
    // state and frame count, whose second layer is a filled rectangle.
    virtual TransitionBase* clone();
    // Draws the running transition: the active layers in drawing order, the
    // first layer fading out over the second half when fading.
    virtual void paint(window::Graphics* g);
    virtual bool isFading();
    // One logic frame: STEP_NOT_RUNNING, STEP_DELAYING, STEP_FINISHED,
    // STEP_PING_PONG or the effect's own result.
    virtual int step();
    // The effect's geometry for one frame.
    virtual int stepFrame();
    // Starts capturing: the next capture fills layer 0.
    virtual void begin();
    // Moves the capture on after a layer was filled; returns the new state.
    virtual int advanceCapture();
    // Jumps to the end values (nothing for screen effects).
    virtual void finish();
    virtual void computeDrawOrder();
    // Not finished and not waiting for its first picture.
    virtual bool isRunning();
    // Whether the transition paints in place of its sprite.
    virtual bool isScreenTransition();
    virtual bool isReady();
    virtual void setReady(bool ready);
    // Values that a sprite-moving transition gives for this frame, for its
    // start and for its end; the screen effects have none.
    virtual void getCurrent(int& x, int& y, float& scaleX, float& scaleY, int& alpha);
    virtual bool hasStartValues();
    virtual void getStart(int& x, int& y, float& scaleX, float& scaleY, int& alpha);
    virtual bool hasEndValues();
    virtual void getEnd(int& x, int& y, float& scaleX, float& scaleY, int& alpha);
    // Plays the effect twice, the second time reversed in the flipped direction.
    virtual void setPingPong(bool on);
    // Rewinds the frame counter, the delay and the current layer.
    virtual void reset();
    virtual void onLayerChanged();
    // Draws one layer; false when nothing could be drawn.
    virtual bool drawLayer(int layer, window::Graphics* g);
    // Draws the shown part of the layer's picture at the position, scaled
    // about its centre.
    virtual bool drawLayerImage(window::Graphics* g, int layer, util::RectangleNM& rect, util::Point& position,
                                float scaleX, float scaleY);
    // Layers before the current one are done; others draw when their shown
    // part is at least 1 by 1.
    virtual bool isLayerActive(int layer);
    virtual bool drawsOpaque();
    // Whether a capture is still expected.
    virtual bool isCapturing();

    // Waits that many frames before the first step.
    void setDelay(int frames);
    // The layer's picture (reference counted); ignored outside layers 0..2.
    void setLayerImage(int layer, window::ImageBase* image);
    window::ImageBase* getLayerImage(int layer);
    // A new blank picture of that size as the layer's picture.
    void createLayerImage(int layer, int width, int height);
    void setLayerRect(int layer, int x, int y, int width, int height);
    void setLayerRect(int layer, const util::RectangleNM& r);
    void setLayerBaseRect(int layer, int x, int y, int width, int height);
    void setLayerBaseRect(int layer, const util::RectangleNM& r);
    void setLayerPosition(int layer, int x, int y);
    void setLayerPosition(int layer, const util::Point& p);
    // Null outside layers 0..2.
    util::RectangleNM* getLayerRect(int layer);
    util::RectangleNM* getLayerBaseRect(int layer);
    util::Point* getLayerPosition(int layer);
    // Left and right, up and down exchange places in the direction code.
    void flipDirection();
    // While capturing: reads the area (x, y, width, height) of what the
    // source graphics has drawn into a new picture that becomes the layer
    // being captured, then moves the capture on.
    void capture(window::Graphics* source, int x, int y, int width, int height);

    // The direction code flipped as flipDirection does.
    static int flippedDirection(int direction);
    // One step of a moving edge on a shown part and its position: the part
    // shrinks by dx across and dy down from the sides the direction names;
    // with srcMoves the picture slides with the edge instead of being cut in
    // place. Negative steps grow the part back.
    static void edgeStep(util::RectangleNM& rect, util::Point& position, int direction, int dx, int dy, bool srcMoves);

    int getState() const { return m_nState; }
    bool isFinished() const { return m_bFinished; }
    int getFrame() const { return m_nFrame; }
    int getFrames() const { return m_nFrames; }
    void setFrames(int frames) { m_nFrames = frames; }
    void setLayerDone(bool done) { m_bLayerDone = done; }
    int getDirection() const { return m_nDirection; }
    void setDirection(int direction) { m_nDirection = direction; }
    int getCurrentLayer() const { return m_nCurrentLayer; }
    uint32_t getFillColour() const { return m_fillColour; }
    void setFillColour(uint32_t argb) { m_fillColour = argb; }
    bool getFillSecondLayer() const { return m_bFillSecondLayer; }
    void setFillSecondLayer(bool on) { m_bFillSecondLayer = on; }
    bool getSrcMoves() const { return m_bSrcMoves; }
    void setSrcMoves(bool on) { m_bSrcMoves = on; }
    bool getFade() const { return m_bFade; }
    void setFade(bool on) { m_bFade = on; }
    int getDelay() const { return m_nDelay; }
    int getDelayCounter() const { return m_nDelayCounter; }
    bool isReverse() const { return m_bReverse; }
    void setReverse(bool on) { m_bReverse = on; }
    bool isPingPong() const { return m_bPingPong; }
    int getPingPongCount() const { return m_nPingPongCount; }
    bool isOverlay() const { return m_bOverlay; }
    void setOverlay(bool on) { m_bOverlay = on; }
    const int* getDrawOrder() const { return m_drawOrder; }

protected:
    // Every layer empty over (0, 0, width, height) drawn at (x, y); no
    // drawing order; no fill.
    void initLayers(int x, int y, int width, int height);
    // Copies pictures (shared), layer geometry, capture state, the frame
    // counter and count and the fill colour; the copy fills its second layer.
    void copyStateTo(TransitionBase* other);
    // The layer record, or null outside 0..2.
    TransitionImage* layerAt(int layer);
    // Whether a layer counts when moving on from layer to layer.
    bool hasLayerContent(int layer);

    TransitionImage m_layers[3];
    int m_drawOrder[3];
    int m_nState;
    bool m_bFinished;
    int m_nFrame;
    int m_nFrames;
    bool m_bLayerDone;
    int m_nDirection;
    int m_nCurrentLayer;
    uint32_t m_fillColour;
    bool m_bFillSecondLayer;
    bool m_bSrcMoves;
    bool m_bFade;
    int m_nDelayCounter;
    int m_nDelay;
    bool m_bReverse;
    bool m_bPingPong;
    int m_nPingPongCount;
    bool m_bOverlay;
};

} // namespace sprite
