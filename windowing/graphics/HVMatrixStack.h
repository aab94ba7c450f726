// HVMatrixStack.h: the window graphics' stack of transforms: each drawing
// bracket pushes a copy of the current matrix, translations, scales and
// rotations multiply into the top one, and image quads are placed through it.
#pragma once

#include "windowing/d3d/GraphicsWWinDX.h"

namespace window {

class GraphicsWWinDX::HVMatrixStack : public lang::Object {
public:
    struct Entry {
        D3DMATRIX matrix;
        D3DMATRIX spare; // identity; read by nothing
        float translateX;
        float translateY;
        float scaleX;
        float scaleY;
        float rotation;
        Entry* next;
    };

    HVMatrixStack() : m_pTop(nullptr) {}
    // Pops until empty.
    ~HVMatrixStack() override;

    // A new top whose matrix copies the previous top's (identity on an empty stack).
    void push();
    // Removes the top; an empty stack logs a warning.
    void pop();
    // out = the top matrix; an empty stack logs an error and leaves out alone.
    void getTop(D3DMATRIX* out);
    void loadIdentity();
    // Multiply the top matrix on the right; the entry records the values.
    void translate(float dx, float dy);
    void scale(float sx, float sy);
    void rotate(float degrees);

    bool isEmpty() const { return m_pTop == nullptr; }
    int depth() const;
    const Entry* top() const { return m_pTop; }

    HV_CLASS_NAME("HVMatrixStack", lang::Object)

private:
    // The top entry, or null after logging the empty-stack error.
    Entry* topOrLog();

    Entry* m_pTop;
};

} // namespace window
