// TransitionScale.h: a transition that moves, scales and fades one sprite
// instead of painting a screen picture: each frame it gives the sprite the
// steps of its move and scale and its absolute alpha.
#pragma once

#include "sprites/transitions/TransitionBase.h"

namespace sprite {

class TransitionScale : public TransitionBase {
public:
    TransitionScale();
    // A run of `frames` frames (at least 1) from (startX, startY) at
    // startScale to (endX, endY) at endScale. fadeFraction is the share of
    // the run over which a growing sprite fades in, or a shrinking one fades
    // out (0 = no fade). moveMode 1 with moveKind 1 moves evenly; scaleMode 1
    // with scaleKind 1 scales evenly; bounce 1 overshoots the end scale by a
    // tenth and holds three frames before the end values are applied.
    TransitionScale(int frames, int startX, int startY, int endX, int endY, float startScale, float endScale,
                    float fadeFraction, int moveMode, int moveKind, int scaleMode, int scaleKind, int reserved,
                    int bounce);

    HV_CLASS_NAME("TransitionScale", TransitionBase)
    HV_DECLARE_METACLASS(TransitionScale);

    // The frame's move and scale steps and alpha; 1 while running, 0 once held.
    int stepFrame() override;
    // Rewinds, prepares the run and waits until the sprite has been drawn.
    void reset() override;
    // Stays idle: the sprite needs no captured picture.
    void begin() override;
    // Jumps the current values to the end.
    void finish() override;
    void paint(window::Graphics* g) override;
    bool drawLayer(int layer, window::Graphics* g) override;
    bool isLayerActive(int layer) override;
    bool isScreenTransition() override;
    bool isReady() override;
    void setReady(bool ready) override;
    void getCurrent(int& x, int& y, float& scaleX, float& scaleY, int& alpha) override;
    bool hasStartValues() override;
    void getStart(int& x, int& y, float& scaleX, float& scaleY, int& alpha) override;
    bool hasEndValues() override;
    void getEnd(int& x, int& y, float& scaleX, float& scaleY, int& alpha) override;

    bool isDone() const { return m_bDone; }

protected:
    // Computes the per-frame deltas, carries and the fade span of a run.
    void prepare();
    // The carry of a spread remainder: 1 (or -1 for a negative delta) each
    // time the gathered remainder reaches a full step.
    int carry(int& accumulator, int remainder, float delta);
    bool isGrowing() const { return m_fStartScale < m_fEndScale; }
    // The alpha a run starts and ends with.
    int startAlpha() const;
    int endAlpha() const;

    int m_nMoveMode;
    int m_nMoveKind;
    int m_nScaleMode;
    int m_nScaleKind;
    int m_nReserved;
    int m_nBounce;
    int m_nStartX;
    int m_nStartY;
    int m_nEndX;
    int m_nEndY;
    float m_fStartScale;
    float m_fEndScale;
    int m_nRemainderX;
    int m_nRemainderY;
    int m_nAccumX;
    int m_nAccumY;
    int m_nStepFrames;
    float m_fDeltaX;
    float m_fDeltaY;
    float m_fAccelX;
    float m_fAccelY;
    float m_fScaleDelta;
    float m_fScaleAccel;
    float m_fFadeFraction;
    int m_nFadeStart;
    int m_nFadeEnd;
    int m_nCurX;
    int m_nCurY;
    float m_fCurScaleX;
    float m_fCurScaleY;
    int m_nCurAlpha;
    bool m_bDone;
    bool m_bReady;
};

} // namespace sprite
