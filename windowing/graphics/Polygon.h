// Polygon.h: a polygon or open path as parallel arrays of x and y
// coordinates with a point count, as the line and polygon drawing takes it.
#pragma once

#include "core/lang/Object.h"

#include <vector>

namespace window {

class Polygon : public lang::Object {
public:
    Polygon() = default;
    // Copies count points from the two arrays.
    Polygon(const int* xs, const int* ys, int count);

    void addPoint(int x, int y)
    {
        m_x.push_back(x);
        m_y.push_back(y);
    }
    void reset()
    {
        m_x.clear();
        m_y.clear();
    }

    int getCount() const { return int(m_x.size()); }
    const int* getXPoints() const { return m_x.data(); }
    const int* getYPoints() const { return m_y.data(); }
    int getX(int i) const { return m_x[size_t(i)]; }
    int getY(int i) const { return m_y[size_t(i)]; }

    HV_CLASS_NAME("Polygon", lang::Object)

private:
    std::vector<int> m_x;
    std::vector<int> m_y;
};

} // namespace window
