// RecordingCanvas.h: a canvas of any game canvas class that notes the
// commands reaching its action handler and the sounds it plays, loops and
// stops, and runs a script of the test's once the game is set up.
#pragma once

#include "sound/clip/AudioClip.h"
#include "sprites/canvas/GameCanvas3.h"
#include "sprites/script/ScriptHost.h"

#include <mutex>
#include <string>
#include <vector>

namespace testsupport {

template <class Base = sprite::GameCanvas3>
class RecordingCanvas : public Base {
public:
    using Base::Base;

    void handleAction(lang::Object* receiver, lang::String* command) override
    {
        note(m_commands, command ? command->c_str() : "<null>");
        Base::handleAction(receiver, command);
    }
    void playSound(window::AudioClip* clip) override
    {
        note(m_sounds, "play " + describe(clip));
        Base::playSound(clip);
    }
    void loopSound(window::AudioClip* clip) override
    {
        note(m_sounds, "loop " + describe(clip));
        Base::loopSound(clip);
    }
    void stopSound(window::AudioClip* clip) override
    {
        note(m_sounds, "stop " + describe(clip));
        Base::stopSound(clip);
    }
    void fadeSound(window::AudioClip* clip, int volume, int steps, bool pauseAtEnd) override
    {
        note(m_sounds, "fade " + describe(clip) + " " + std::to_string(volume) + " " + std::to_string(steps));
        Base::fadeSound(clip, volume, steps, pauseAtEnd);
    }
    // The game is set up; then the script given to runAfterSetup runs.
    void setupGame(sprite::DataLoader* loader) override
    {
        Base::setupGame(loader);
        if (!m_setupScript.empty() && ScriptHost::instance)
            ScriptHost::instance->runScriptFile(m_setupScript.c_str(), 0);
    }

    // A script (beside the program) to run at the end of setupGame.
    void runAfterSetup(const std::string& script) { m_setupScript = script; }

    // The commands handled so far, in order; the cursor commands that
    // pointer moves make are left out unless asked for.
    std::vector<std::string> commands(bool withCursors = false) const
    {
        std::vector<std::string> all = copy(m_commands);
        if (withCursors)
            return all;
        std::vector<std::string> out;
        for (const std::string& c : all) {
            if (c != "handCursor" && c != "normalCursor" && c != "openHandCursor")
                out.push_back(c);
        }
        return out;
    }
    // "play|loop|stop <index> <source>" per sound call, in order, and
    // "fade <index> <source> <volume> <steps>"; the stops of every clip when
    // the canvas stops are included.
    std::vector<std::string> sounds() const { return copy(m_sounds); }
    void clearRecords()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_commands.clear();
        m_sounds.clear();
    }

private:
    std::string describe(window::AudioClip* clip)
    {
        int index = -1;
        for (int i = 0; i < Base::getSoundCount(); ++i) {
            if (Base::getSound(i) == clip)
                index = i;
        }
        return std::to_string(index) + " " + (clip ? clip->getName().c_str() : "<null>");
    }
    void note(std::vector<std::string>& list, const std::string& entry)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        list.push_back(entry);
    }
    std::vector<std::string> copy(const std::vector<std::string>& list) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return list;
    }

    mutable std::mutex m_mutex;
    std::vector<std::string> m_commands;
    std::vector<std::string> m_sounds;
    std::string m_setupScript;
};

} // namespace testsupport
