// Cursors.cpp: cursor handles (system shapes, the program's cursor resources,
// made cursors), the cursor shown, the display counter and the pointer position.
#include "platform/user/Cursors.h"

#include "platform/user/Backend.h"
#include "platform/user/core/WindowManager.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

using platform::CursorShape;
using platform::user::WindowManager;
using platform::user::wm;

namespace {

// Every shape ever made stays allocated, so a handle a backend still holds
// never dangles; a destroyed handle is only forgotten.
struct CursorTable {
    std::mutex mutex;
    std::vector<std::unique_ptr<CursorShape>> shapes;
    std::vector<const CursorShape*> live;
    std::map<int, HCURSOR> system;
    std::map<int, HCURSOR> resources;

    HCURSOR add(std::unique_ptr<CursorShape> shape)
    {
        const CursorShape* s = shape.get();
        shapes.push_back(std::move(shape));
        live.push_back(s);
        return (HCURSOR)const_cast<CursorShape*>(s);
    }
    bool isLive(HCURSOR h) const
    {
        return std::find(live.begin(), live.end(), (const CursorShape*)h) != live.end();
    }
};

CursorTable& table()
{
    static CursorTable* t = new CursorTable;
    return *t;
}

bool isSystemCursorId(int id)
{
    switch (id) {
    case 32512: case 32513: case 32514: case 32515: case 32516: case 32642: case 32643:
    case 32644: case 32645: case 32646: case 32648: case 32649: case 32650:
        return true;
    default:
        return false;
    }
}

// A monochrome cursor's planes as pixels; rows are padded to 16 bits.
std::unique_ptr<CursorShape> monochromeShape(int hotX, int hotY, int width, int height, const void* andPlane,
                                             const void* xorPlane)
{
    auto shape = std::make_unique<CursorShape>();
    shape->width = width;
    shape->height = height;
    shape->hotX = hotX;
    shape->hotY = hotY;
    shape->pixels.assign(size_t(width) * size_t(height), 0);
    const int pitch = ((width + 15) / 16) * 2;
    const BYTE* a = static_cast<const BYTE*>(andPlane);
    const BYTE* x = static_cast<const BYTE*>(xorPlane);
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            int bit = 7 - (col & 7);
            bool andBit = a ? ((a[row * pitch + col / 8] >> bit) & 1) : false;
            bool xorBit = x ? ((x[row * pitch + col / 8] >> bit) & 1) : false;
            uint32_t p;
            if (andBit && !xorBit)
                p = 0x00000000u; // transparent
            else if (!andBit)
                p = xorBit ? 0xFFFFFFFFu : 0xFF000000u;
            else
                p = 0xFF000000u; // inverted screen: shown black
            shape->pixels[size_t(row) * width + col] = p;
        }
    }
    return shape;
}

void pointerChanged()
{
    const CursorShape* shape;
    {
        std::lock_guard<std::mutex> lock(wm().mutex);
        shape = (wm().cursorCount >= 0 && wm().cursor) ? reinterpret_cast<const CursorShape*>(wm().cursor) : nullptr;
    }
    platform::windowBackend().pointerChanged(shape);
}

} // namespace

namespace platform {

void registerCursorResource(int id, int hotX, int hotY, int width, int height, const void* andPlane,
                            const void* xorPlane)
{
    if (width <= 0 || height <= 0)
        return;
    std::lock_guard<std::mutex> lock(table().mutex);
    table().resources[id] = table().add(monochromeShape(hotX, hotY, width, height, andPlane, xorPlane));
}

const CursorShape* cursorShape(HCURSOR cursor)
{
    std::lock_guard<std::mutex> lock(table().mutex);
    return table().isLive(cursor) ? reinterpret_cast<const CursorShape*>(cursor) : nullptr;
}

bool pointerVisible()
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    return wm().cursorCount >= 0 && wm().cursor != nullptr;
}

} // namespace platform

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    if (!IS_INTRESOURCE(name))
        return nullptr;
    int id = int(ULONG_PTR(name));
    std::lock_guard<std::mutex> lock(table().mutex);
    if (instance) {
        auto it = table().resources.find(id);
        return it == table().resources.end() ? nullptr : it->second;
    }
    if (!isSystemCursorId(id))
        return nullptr;
    auto it = table().system.find(id);
    if (it != table().system.end())
        return it->second;
    auto shape = std::make_unique<CursorShape>();
    shape->systemId = id;
    shape->width = shape->height = 32;
    HCURSOR h = table().add(std::move(shape));
    table().system[id] = h;
    return h;
}

HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int, int, UINT)
{
    if (type == IMAGE_CURSOR)
        return (HANDLE)LoadCursorA(instance, name);
    return nullptr;
}

HCURSOR CreateCursor(HINSTANCE, int hotX, int hotY, int width, int height, const void* andPlane, const void* xorPlane)
{
    if (width <= 0 || height <= 0 || !andPlane || !xorPlane)
        return nullptr;
    std::lock_guard<std::mutex> lock(table().mutex);
    return table().add(monochromeShape(hotX, hotY, width, height, andPlane, xorPlane));
}

BOOL DestroyCursor(HCURSOR cursor)
{
    {
        // The cursor shown cannot go.
        std::lock_guard<std::mutex> lock(wm().mutex);
        if (cursor == wm().cursor)
            return FALSE;
    }
    std::lock_guard<std::mutex> lock(table().mutex);
    auto& t = table();
    const CursorShape* s = reinterpret_cast<const CursorShape*>(cursor);
    if (!t.isLive(cursor) || s->systemId != 0)
        return FALSE;
    for (auto& kv : t.resources)
        if (kv.second == cursor)
            return FALSE; // resources stay with the program
    t.live.erase(std::remove(t.live.begin(), t.live.end(), s), t.live.end());
    return TRUE;
}

HCURSOR SetCursor(HCURSOR cursor)
{
    if (cursor && !platform::cursorShape(cursor))
        return GetCursor();
    HCURSOR previous;
    {
        std::lock_guard<std::mutex> lock(wm().mutex);
        previous = wm().cursor;
        wm().cursor = cursor;
    }
    if (previous != cursor)
        pointerChanged();
    return previous;
}

HCURSOR GetCursor()
{
    std::lock_guard<std::mutex> lock(wm().mutex);
    return wm().cursor;
}

int ShowCursor(BOOL show)
{
    int count;
    bool changed;
    {
        std::lock_guard<std::mutex> lock(wm().mutex);
        int before = wm().cursorCount;
        count = wm().cursorCount += show ? 1 : -1;
        changed = (before >= 0) != (count >= 0);
    }
    if (changed)
        pointerChanged();
    return count;
}

BOOL GetCursorPos(LPPOINT point)
{
    if (!point)
        return FALSE;
    std::lock_guard<std::mutex> lock(wm().mutex);
    *point = wm().pointer;
    return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
    {
        std::lock_guard<std::mutex> lock(wm().mutex);
        wm().pointer = POINT{x, y};
    }
    // The backend moves the pointer, and the move arrives as input.
    platform::windowBackend().warpPointer(x, y);
    return TRUE;
}
