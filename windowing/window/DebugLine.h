// DebugLine.h: writes one diagnostic text, built from pieces of text and
// numbers (decimal, window handles too), to the debugger output.
#pragma once

#include "platform/kernel/DebugOutput.h"

#include <cstdint>
#include <string>
#include <type_traits>

namespace window {
namespace detail {

inline void appendPiece(std::string& out, const char* text)
{
    out += text ? text : "";
}

inline void appendPiece(std::string& out, const std::string& text)
{
    out += text;
}

// Handles and other pointers print as their value in decimal.
template <typename T>
void appendPiece(std::string& out, T* pointer)
{
    out += std::to_string(reinterpret_cast<uintptr_t>(pointer));
}

template <typename T, typename = std::enable_if_t<std::is_integral<T>::value>>
void appendPiece(std::string& out, T value)
{
    if constexpr (std::is_same<T, bool>::value)
        out += value ? "1" : "0";
    else if constexpr (std::is_same<T, char>::value)
        out += value;
    else
        out += std::to_string(value);
}

} // namespace detail

// debugLine("WM_MOVE: (", x, ", ", y, ")\n") writes "WM_MOVE: (3, 4)\n".
template <typename... Pieces>
void debugLine(const Pieces&... pieces)
{
    std::string text;
    (detail::appendPiece(text, pieces), ...);
    OutputDebugStringA(text.c_str());
}

// The same for a problem the player must be told of (damaged data): it also
// reaches the program's log when the debugger output is off.
template <typename... Pieces>
void problemLine(const Pieces&... pieces)
{
    std::string text;
    (detail::appendPiece(text, pieces), ...);
    platform::reportProblem(text.c_str());
}

} // namespace window
