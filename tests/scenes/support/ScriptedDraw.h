// ScriptedDraw.h: random draws from a script: each draw gives the next value
// of the list (0 once it is used up) and notes the bound it was asked for.
#pragma once

#include "core/util/Random.h"
#include "scenes/common/RandomDraw.h"

#include <deque>
#include <string>
#include <vector>

namespace scenetest {

// The generator the base needs; it is never drawn from. A base of its own,
// so that it is made before the draw that refers to it.
struct UnusedGenerator {
    UnusedGenerator() : generator(new util::Random()) {}
    ~UnusedGenerator() { generator->release(); }
    UnusedGenerator(const UnusedGenerator&) = delete;
    UnusedGenerator& operator=(const UnusedGenerator&) = delete;
    util::Random* generator;
};

class ScriptedDraw : private UnusedGenerator, public RandomDraw {
public:
    explicit ScriptedDraw(std::vector<int> values = {})
        : RandomDraw(*generator), m_values(values.begin(), values.end())
    {
    }

    void add(std::vector<int> values) { m_values.insert(m_values.end(), values.begin(), values.end()); }

    int nextInt(int max) override
    {
        m_asked.push_back("0.." + std::to_string(max));
        return next();
    }
    int nextInt(int a, int b) override
    {
        m_asked.push_back(std::to_string(a) + ".." + std::to_string(b));
        return next();
    }

    // The ranges asked for, in order ("0..23", "4..200").
    const std::vector<std::string>& asked() const { return m_asked; }
    size_t left() const { return m_values.size(); }

private:
    int next()
    {
        if (m_values.empty())
            return 0;
        const int v = m_values.front();
        m_values.pop_front();
        return v;
    }

    std::deque<int> m_values;
    std::vector<std::string> m_asked;
};

} // namespace scenetest
