// DefinitionNumbers.h: a definition's numbers for the rule classes that read
// them, built from a list (an IntArray cannot be copied, so it lives here).
#pragma once

#include "core/lang/IntArray.h"

#include <vector>

namespace scenetest {

struct DefinitionNumbers {
    explicit DefinitionNumbers(const std::vector<int>& values)
    {
        array.setLength(int(values.size()));
        for (size_t i = 0; i < values.size(); ++i)
            array[int(i)] = values[i];
    }
    lang::IntArray array;
};

} // namespace scenetest
