// AnimateSprite.h: a picture cut into a grid of equal frames (columns x
// rows, numbered row by row) with frame playback: runs forward or backward,
// once, n times or for ever, ping-pong, a frame rate, a start delay and a
// hold at the end of each loop. The end of a run sends the sprite's action.
#pragma once

#include "sprites/images/ImageSprite.h"

struct luaL_Reg;

namespace sprite {

class AnimateSprite : public ImageSprite {
public:
    // A 1 x 1 grid and frame 0; with an image, that image cut into columns x rows.
    AnimateSprite(window::ImageBase* image, int columns, int rows);

    HV_CLASS_NAME("AnimateSprite", ImageSprite)
    HV_DECLARE_METACLASS(AnimateSprite);

    using ImageSprite::hittestImage;
    // Without a frame the bounds decide, else the pixel test at threshold 1.
    virtual bool hittestImage(int x, int y);
    // Shows the image cut into columns x rows (each at least 1), the range
    // covering every frame.
    virtual void setGrid(window::ImageBase* image, int columns, int rows);

    // The image as a 1 x 1 grid.
    void setImage(window::ImageBase* image) override;
    // The image sprite's set-up, then numbers 2, 3: columns, rows; 4: the
    // frame (-1 hides the sprite); with 8 or more, 5: frame rate, 6:
    // ping-pong, 7: a looping frame step.
    bool configure(lang::ObjectArray* resources, lang::IntArray* params) override;
    SpriteBase* clone() override;
    // Plays one step of the frames (when not paused), then the sprite tick.
    bool tick(int frame, util::RectangleNM* boundsOut, util::Region* region) override;
    // A frame is shown and the image sprite shows.
    bool isShowing() override;
    // The sprite's animations, or the frames play.
    bool isAnimating() override;

    // Shows frame n (lowered to the last frame; a negative one hides the sprite).
    void setFrame(int n);
    // The source rectangle of the current frame.
    void showCurrentFrame();
    // The frames a run covers; start above end plays backward.
    void setFrameRange(int start, int end);
    // Frames advanced per played tick (0 stops, negative plays backward),
    // looping or once; restarts the tick count.
    void setFrameStep(int step, bool loop);
    void setPingPong(bool on) { m_bPingPong = on; }
    // Plays start..end (-1: the last frame): loops 0 once, n > 0 n times,
    // negative for ever (keeping the loops left); a frame change every
    // `rate` ticks, `step` frames at a time (backward when end < start).
    void playAnimation(int start, int end, int loops, int rate, bool pingPong, int step);
    // The frames are advancing and not at the end of their loops.
    bool isPlaying();

    int getFrame() const { return m_nFrame; }
    int getColumns() const { return m_nColumns; }
    int getRows() const { return m_nRows; }
    // columns x rows.
    int getFrameCount() const;
    int getFrameStep() const { return m_nFrameStep; }
    int getFrameRate() const { return m_nFrameRate; }
    void setFrameRate(int rate) { m_nFrameRate = rate; }
    int getStartDelay() const { return m_nStartDelay; }
    void setStartDelay(int ticks) { m_nStartDelay = ticks; }
    int getTickCount() const { return m_nTickCount; }
    void setTickCount(int count) { m_nTickCount = count; }
    int getLoopHold() const { return m_nLoopHold; }
    void setLoopHold(int ticks) { m_nLoopHold = ticks; }
    int getLoopsLeft() const { return m_nLoopsLeft; }
    void setLoopsLeft(int loops) { m_nLoopsLeft = loops; }
    int getPingPongsLeft() const { return m_nPingPongsLeft; }
    void setPingPongsLeft(int count) { m_nPingPongsLeft = count; }
    int getStartFrame() const { return m_nStartFrame; }
    int getEndFrame() const { return m_nEndFrame; }
    bool isLooping() const { return m_bLooping; }
    bool isPingPong() const { return m_bPingPong; }

    // The native methods of hv.AnimateSprite, ending with an empty entry.
    static const luaL_Reg* luaMethods();

protected:
    // Gives the sprite's table the metatable of the class.
    void bindLuaClass();
    // Copies the frame state into a clone.
    void copyFramesTo(AnimateSprite* other);
    // The grid and frame state taken from a definition (numbers 2 and 3);
    // the image sprite's part first.
    void configureGrid(lang::ObjectArray* resources, lang::IntArray* params);

    int m_nColumns;
    int m_nRows;
    int m_nTickCount;
    int m_nFrame;
    int m_nFrameStep;
    int m_nFrameRate;
    int m_nLoopHold;
    int m_nLoopsLeft;
    int m_nPingPongsLeft;
    int m_nStartDelay;
    int m_nStartFrame;
    int m_nEndFrame;
    bool m_bLooping;
    bool m_bPingPong;

private:
    // One played tick of the frames (steps 4 to 7 of the playback).
    void advanceFrames();
    // The frame after n left the range at its end / start (a forward range).
    int wrapPastEnd(int n);
    int wrapPastStart(int n);
    // The same for a backward range (start above end).
    int wrapBackward(int n);
    // Whether a loop may wrap in this tick (the hold at the end of a loop).
    bool holdingLoop() const;
    // Counts a finished loop; the last one with a hold sends the action.
    void countLoop();
};

} // namespace sprite
