// HVMatrixStack.cpp: the transform stack of the window graphics.
#include "windowing/graphics/HVMatrixStack.h"

#include "windowing/window/DebugLine.h"
#include "windowing/graphics/MatrixMath.h"

namespace window {

namespace {
// Degrees to radians as the drawing code converts them.
constexpr double kRadiansPerDegree = 0.01745329238474369;
} // namespace

GraphicsWWinDX::HVMatrixStack::~HVMatrixStack()
{
    while (m_pTop) {
        Entry* next = m_pTop->next;
        delete m_pTop;
        m_pTop = next;
    }
}

void GraphicsWWinDX::HVMatrixStack::push()
{
    Entry* entry = new Entry;
    if (m_pTop)
        entry->matrix = m_pTop->matrix;
    else
        matrixIdentity(&entry->matrix);
    matrixIdentity(&entry->spare);
    entry->translateX = 0.0f;
    entry->translateY = 0.0f;
    entry->scaleX = 1.0f;
    entry->scaleY = 1.0f;
    entry->rotation = 0.0f;
    entry->next = m_pTop;
    m_pTop = entry;
}

void GraphicsWWinDX::HVMatrixStack::pop()
{
    if (!m_pTop) {
        debugLine("Warning!  Trying to pop matrix from empty stack!\n");
        return;
    }
    Entry* next = m_pTop->next;
    delete m_pTop;
    m_pTop = next;
}

GraphicsWWinDX::HVMatrixStack::Entry* GraphicsWWinDX::HVMatrixStack::topOrLog()
{
    if (!m_pTop)
        debugLine("Error!  Trying to get a matrix from empty stack!\n");
    return m_pTop;
}

void GraphicsWWinDX::HVMatrixStack::getTop(D3DMATRIX* out)
{
    if (Entry* top = topOrLog())
        *out = top->matrix;
}

void GraphicsWWinDX::HVMatrixStack::loadIdentity()
{
    if (Entry* top = topOrLog())
        matrixIdentity(&top->matrix);
}

void GraphicsWWinDX::HVMatrixStack::translate(float dx, float dy)
{
    Entry* top = topOrLog();
    if (!top)
        return;
    top->translateX += dx;
    top->translateY += dy;
    D3DMATRIX t;
    matrixTranslation(&t, dx, dy, 0.0f);
    matrixMultiply(&top->matrix, &top->matrix, &t);
}

void GraphicsWWinDX::HVMatrixStack::scale(float sx, float sy)
{
    Entry* top = topOrLog();
    if (!top)
        return;
    top->scaleX = sx;
    top->scaleY = sy;
    D3DMATRIX s;
    matrixScaling(&s, sx, sy, 1.0f);
    matrixMultiply(&top->matrix, &top->matrix, &s);
}

void GraphicsWWinDX::HVMatrixStack::rotate(float degrees)
{
    Entry* top = topOrLog();
    if (!top)
        return;
    top->rotation = degrees;
    D3DMATRIX r;
    matrixRotationZ(&r, float(degrees * kRadiansPerDegree));
    matrixMultiply(&top->matrix, &top->matrix, &r);
}

int GraphicsWWinDX::HVMatrixStack::depth() const
{
    int n = 0;
    for (const Entry* e = m_pTop; e; e = e->next)
        ++n;
    return n;
}

} // namespace window
