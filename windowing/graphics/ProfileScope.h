// ProfileScope.h: a scope object that marks a drawing operation by name from
// its start to its end, where timing could be taken. It records nothing.
#pragma once

class ProfileScope {
public:
    // name: a string literal naming the operation, e.g. "GraphicsWWinDX::drawLine".
    explicit ProfileScope(const char* name) : m_bMark(0) { (void)name; }
    ProfileScope(const ProfileScope&) = delete;
    ProfileScope& operator=(const ProfileScope&) = delete;

private:
    [[maybe_unused]] unsigned char m_bMark;
};
