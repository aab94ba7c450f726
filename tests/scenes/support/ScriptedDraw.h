// ScriptedDraw.h: random draws from a script: each draw from 0 gives the next
// value of its list (0 once the list is used up), each draw between two
// bounds the next value of a list of its own (the lower bound once that is
// used up), and every draw notes the range it was asked for.
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
    void addBetween(std::vector<int> values) { m_between.insert(m_between.end(), values.begin(), values.end()); }

    int nextInt(int max) override
    {
        m_asked.push_back("0.." + std::to_string(max));
        return next();
    }
    int nextInt(int a, int b) override
    {
        m_asked.push_back(std::to_string(a) + ".." + std::to_string(b));
        if (m_between.empty())
            return a;
        const int v = m_between.front();
        m_between.pop_front();
        return v;
    }

    // The ranges asked for, in order ("0..23", "4..200").
    const std::vector<std::string>& asked() const { return m_asked; }
    void clearAsked() { m_asked.clear(); }
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
    std::deque<int> m_between;
    std::vector<std::string> m_asked;
};

} // namespace scenetest
