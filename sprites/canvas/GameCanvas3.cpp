// GameCanvas3.cpp: the canvas's life cycle, its data, the root sprite list,
// the pacing of logic frames by the game timer, one logic frame, and painting.
#include "sprites/canvas/GameCanvas3.h"

#include "core/io/ByteArrayInputStream.h"
#include "core/io/FileInputStream.h"
#include "core/io/StreamTokenizer.h"
#include "core/lang/Exception.h"
#include "core/lang/Hold.h"
#include "core/lang/Owned.h"
#include "core/lang/Synchronized.h"
#include "core/lang/Thread.h"
#include "core/util/Hashtable.h"
#include "core/util/Region.h"
#include "platform/user/User.h"
#include "sound/clip/AudioClip.h"
#include "sprites/base/SpriteBase.h"
#include "sprites/containers/FancyContainer.h"
#include "sprites/loader/DataLoader.h"
#include "sprites/script/ScriptHost.h"
#include "sprites/settings/User.h"
#include "sprites/transitions/TransitionBase.h"
#include "windowing/graphics/Graphics.h"
#include "windowing/window/Cursor.h"
#include "windowing/window/DebugLine.h"
#include "windowing/window/Event.h"
#include "windowing/window/Frame.h"
#include "windowing/window/WindowGlobals.h"

#include <lua.hpp>

#include <cstdio>

namespace sprite {

const char GameCanvas3::kMetatable[] = "hv.GameCanvas3";
const char GameCanvas3::kScriptFile[] = "Canvas.lua";
const char GameCanvas3::kLuaClassName[] = "Canvas";

bool GameCanvas3::s_bFreeze = false;
bool GameCanvas3::s_bShowPosted = false;

namespace {

SpriteBase* rootSprite(util::Vector* list, int i)
{
    return static_cast<SpriteBase*>(list->get(i));
}

// Reads a count or a number token; anything else reads as 0.
int readNumber(io::StreamTokenizer& t)
{
    if (t.nextToken() != io::StreamTokenizer::TT_NUMBER)
        return 0;
    return SpriteBase::toInt(t.nval);
}

// Reads a count and then up to that many texts into the list (a negative
// count reads as none; the end of the input stops the list early).
void readTexts(io::StreamTokenizer& t, lang::ObjectArray& list)
{
    int count = readNumber(t);
    if (count < 0)
        count = 0;
    for (int i = 0; i < count; ++i) {
        if (t.nextToken() == io::StreamTokenizer::TT_EOF)
            break;
        list.setLength(i + 1);
        // A number among the texts is its own text, not the last word's.
        *list.at(i) = new lang::String(DataLoader::tokenText(t));
    }
}

} // namespace

GameCanvas3::GameCanvas3()
    : m_pNameTable(nullptr),
      m_pUser(nullptr),
      m_dFrameTime(0.0),
      m_dStartTime(0.0),
      m_dCarry(0.0),
      m_nFrameCounter(0),
      m_nBehind(0),
      m_bShowFrameRate(false),
      m_pRootList(nullptr),
      m_removalList(10),
      m_frameListeners(10),
      m_scheduledActions(10),
      m_eventQueue(10),
      m_pCurrentEvent(nullptr),
      m_bDataLoaded(false),
      m_bActionsPaused(false),
      m_bSuspendLuaAnimations(false),
      m_bStarted(false),
      m_bSoundsEnabled(true),
      m_bDirty(false),
      m_bQuitting(false),
      m_destination(""),
      m_nLuaRef(LUA_NOREF),
      m_bHasLuaAnimations(false),
      m_pTransition(nullptr),
      m_nManifestTotal(0),
      m_nEntriesLoaded(0),
      m_bReady(true)
{
    ScriptHost* host = ScriptHost::instance;
    if (!host || !host->getState())
        return;
    host->setupMetatableForClass(kMetatable, nullptr, kScriptFile, kLuaClassName, luaMethods());
    m_nLuaRef = host->bindObject(this, kMetatable);
    host->pushObject(m_nLuaRef);
    lua_setglobal(host->getState(), "canvas");
}

GameCanvas3::~GameCanvas3()
{
    shutdown();
    // A script that kept the table now gets argument errors, not a dead canvas.
    if (ScriptHost::instance)
        ScriptHost::instance->unbindObject(m_nLuaRef);
    m_nLuaRef = LUA_NOREF;
    if (m_pUser)
        m_pUser->release();
    if (m_pNameTable)
        m_pNameTable->release();
    if (m_pRootList)
        m_pRootList->release();
    for (int i = 0; i < m_sounds.length(); ++i) {
        if (lang::Object* clip = *m_sounds.at(i))
            clip->release();
    }
    m_sounds.setLength(0);
    clearTexts(m_manifestStrings);
    clearTexts(m_textListA);
    clearTexts(m_textListB);
    if (m_pTransition)
        m_pTransition->release();
}

void GameCanvas3::clearTexts(lang::ObjectArray& list)
{
    for (int i = 0; i < list.length(); ++i) {
        if (lang::Object* text = *list.at(i))
            text->release();
    }
    list.setLength(0);
}

void GameCanvas3::init(const lang::String& codeBase, User* user, const lang::String& dataFile, int)
{
    m_codeBase = codeBase;
    m_dataFileName = dataFile;
    if (user)
        user->addRef();
    if (m_pUser)
        m_pUser->release();
    m_pUser = user;
}

SpriteBase* GameCanvas3::createSprite(const lang::String&, lang::IntArray*, lang::ObjectArray*, DataLoader*)
{
    return nullptr;
}

void GameCanvas3::readTextLists()
{
    m_bDataLoaded = false;
    io::InputStream* in = nullptr;
    try {
        if (m_dataFileName.startsWith("+"))
            in = new io::ByteArrayInputStream(m_dataFileName);
        else
            in = new io::FileInputStream(m_dataFileName);
        io::StreamTokenizer t(in);
        t.commentChar(';');
        t.quoteChar('"');
        t.parseNumbers();
        clearTexts(m_textListA);
        clearTexts(m_textListB);
        clearTexts(m_manifestStrings);
        readTexts(t, m_textListA);
        readTexts(t, m_textListB);
        int count = readNumber(t);
        if (count < 0)
            count = 0;
        m_manifestNumbers.setLength(0);
        for (int i = 0; i < count; ++i) {
            int type = t.nextToken();
            if (type == io::StreamTokenizer::TT_EOF)
                break;
            m_manifestNumbers.setLength(i + 1);
            m_manifestNumbers[i] = type == io::StreamTokenizer::TT_NUMBER ? SpriteBase::toInt(t.nval) : 0;
        }
        readTexts(t, m_manifestStrings);
    } catch (lang::Exception* e) {
        window::debugLine("readTextLists: ", e->toString().c_str(), "\n");
        e->release();
    }
    if (in)
        in->release();
}

void GameCanvas3::setupGame(DataLoader*)
{
    m_bDirty = true;
    m_bDataLoaded = true;
}

void GameCanvas3::setSoundTableAndReset(lang::ObjectArray* sounds)
{
    m_bDirty = true;
    lang::ObjectArray old;
    old = m_sounds;
    m_sounds.setLength(0);
    if (sounds) {
        m_sounds.setLength(sounds->length());
        for (int i = 0; i < sounds->length(); ++i) {
            lang::Object* clip = *sounds->at(i);
            if (clip)
                clip->addRef();
            *m_sounds.at(i) = clip;
        }
    }
    for (int i = 0; i < old.length(); ++i) {
        if (lang::Object* clip = *old.at(i))
            clip->release();
    }
    clearTexts(m_textListA);
    clearTexts(m_textListB);
    m_bDataLoaded = true;
}

lang::ObjectArray* GameCanvas3::getTextListB()
{
    return &m_textListB;
}

lang::ObjectArray* GameCanvas3::getTextListA()
{
    return &m_textListA;
}

bool GameCanvas3::preLoad()
{
    return true;
}

bool GameCanvas3::loadData()
{
    auto* loader = new DataLoader(m_codeBase, this, m_pUser);
    lang::Owned owned(loader);
    m_nEntriesLoaded = 0;
    m_nManifestTotal = loader->countEntries(m_dataFileName);
    if (!loader->load(m_dataFileName))
        return false;
    takeLoadedData(loader->getSprites(), loader->getNames(), loader->getSounds(), loader->getStrings(),
                   loader->getNumbers());
    // Taking the sounds marks the data loaded; only a set-up that succeeds
    // may leave it so (a game's set-up that fails does not reach the base's).
    m_bDataLoaded = false;
    while (!m_bReady)
        lang::Thread::sleep(1);
    setupGame(loader);
    return m_bDataLoaded;
}

void GameCanvas3::takeLoadedData(util::Vector* sprites, util::Hashtable* names, lang::ObjectArray* sounds,
                                 lang::ObjectArray* strings, lang::IntArray* numbers)
{
    lang::Synchronized guard(this, true);
    if (sounds)
        setSoundTableAndReset(sounds);
    if (strings) {
        clearTexts(m_manifestStrings);
        m_manifestStrings.setLength(strings->length());
        for (int i = 0; i < strings->length(); ++i) {
            auto* text = static_cast<lang::String*>(*strings->at(i));
            *m_manifestStrings.at(i) = new lang::String(text ? text->c_str() : "");
        }
    }
    if (numbers)
        m_manifestNumbers = *numbers;
    if (sprites) {
        sprites->addRef();
        if (m_pRootList)
            m_pRootList->release();
        m_pRootList = sprites;
    }
    if (names) {
        names->addRef();
        if (m_pNameTable)
            m_pNameTable->release();
        m_pNameTable = names;
    }
    m_bDirty = true;
}

void GameCanvas3::start()
{
    lang::Synchronized guard(this, true);
    m_bStarted = true;
    m_bQuitting = false;
    m_bDirty = true;
    m_timer.start();
    m_dStartTime = m_timer.getTime();
}

void GameCanvas3::onFocusLost() {}

void GameCanvas3::stop()
{
    for (int i = 0; i < m_sounds.length(); ++i)
        stopSound(i);
    m_bQuitting = true;
    m_timer.stop();
    m_eventQueue.removeAllElements();
}

void GameCanvas3::requestExit()
{
    window::Component* parent = getParent();
    if (parent && parent->isInstanceOf("Frame"))
        static_cast<window::Frame*>(parent)->requestClose();
}

void GameCanvas3::shutdown()
{
    stop();
    for (int i = 0; i < m_sounds.length(); ++i) {
        if (window::AudioClip* clip = getSound(i))
            clip->releaseData();
    }
}

void GameCanvas3::setActive(bool) {}

void GameCanvas3::setActionsPaused(bool paused)
{
    m_bActionsPaused = paused;
}

void GameCanvas3::setSuspendLuaAnimations(bool suspend)
{
    m_bSuspendLuaAnimations = suspend;
}

bool GameCanvas3::postEvent(window::Event* e)
{
    if (!e || !m_bStarted || m_bQuitting)
        return false;
    lang::Synchronized guard(&m_eventQueue);
    m_eventQueue.addElement(e);
    m_eventQueue.notify();
    return true;
}

void GameCanvas3::drainEvents()
{
    while (m_eventQueue.size() > 0) {
        window::Event* e;
        {
            lang::Synchronized guard(&m_eventQueue);
            if (m_eventQueue.size() == 0)
                break;
            e = static_cast<window::Event*>(m_eventQueue.elementAt(0));
            e->addRef();
            m_eventQueue.removeElementAt(0);
        }
        m_pCurrentEvent = e;
        processEvent();
        m_pCurrentEvent = nullptr;
        e->release();
    }
}

void GameCanvas3::onTimer()
{
    if (!m_bStarted)
        return;
    drainEvents();
    if (m_timer.isStopped())
        return;
    m_timer.tick();
    const double acc = m_timer.getDelta() + m_dCarry;
    const double period = FRAME_PERIOD_MS * 0.001;
    if (acc < period) {
        m_dCarry = acc;
        return;
    }
    m_dCarry = acc - period;
    if (m_dCarry < 0.0)
        m_dCarry = 0.0;
    m_dFrameTime = acc;
    m_nBehind = int(m_dCarry / period);
    if (!s_bFreeze) {
        doFrame();
        // One frame behind: this tick skips its paint to catch up.
        if (m_nBehind == 1)
            return;
        // Two or more behind: the backlog is forgotten.
        if (m_nBehind >= 2) {
            m_nBehind = 0;
            m_dCarry = 0.0;
        }
    }
    if (m_bDirty)
        paint();
}

void GameCanvas3::doFrame()
{
    lang::Synchronized canvasGuard(this, true);
    if (!m_bActionsPaused && m_scheduledActions.size() > 0)
        fireScheduledActions();
    // The process-wide list that the framework's start-up made, shared with
    // the containers that collect their children; null before start-up.
    util::Vector* animated = FancyContainer::luaAnimatedSprites;
    if (m_pRootList) {
        lang::Synchronized rootGuard(m_pRootList);
        util::RectangleNM bounds(0, 0, 0, 0);
        util::Region region;
        region.addRect(0, 0, m_size.width, m_size.height);
        // The count is read again at each step: a tick may shrink the list.
        for (int i = 0; i < m_pRootList->size(); ++i) {
            SpriteBase* s = rootSprite(m_pRootList, i);
            lang::Hold hold(s);
            bool changed = s->getTransition() ? s->tickTransition(m_nFrameCounter, &bounds, &region)
                                              : s->tick(m_nFrameCounter, &bounds, &region);
            if (changed)
                m_bDirty = true;
            if (animated && !m_bSuspendLuaAnimations && s->hasLuaAnimations())
                animated->addElement(s);
        }
        if (isTransitionRunning()) {
            m_pTransition->step();
            m_bDirty = true;
        }
        if (m_bHasLuaAnimations)
            callLuaNextFrame();
        if (animated) {
            for (int i = 0; i < animated->size(); ++i)
                static_cast<SpriteBase*>(animated->elementAt(i))->luaNextFrame(m_nFrameCounter);
            animated->removeAllElements();
        }
        for (int i = m_removalList.size() - 1; i >= 0; --i) {
            if (i >= m_removalList.size())
                continue;
            lang::Object* s = m_removalList.elementAt(i);
            lang::Hold hold(s);
            m_pRootList->removeElement(s);
            m_removalList.removeElementAt(i);
        }
    }
    updateFrameListeners();
    ++m_nFrameCounter;
}

void GameCanvas3::callLuaNextFrame()
{
    ScriptHost* host = ScriptHost::instance;
    if (!host || !host->getState() || m_nLuaRef == LUA_NOREF)
        return;
    lua_State* L = host->getState();
    host->pushObject(m_nLuaRef);
    lua_getfield(L, -1, "nextFrame");
    lua_pushvalue(L, -2);
    lua_pushinteger(L, m_nFrameCounter);
    host->pcallWithTraceback(2, 0);
    lua_pop(L, 1);
}

SpriteBase* GameCanvas3::getSprite(const char* name)
{
    if (!m_pNameTable || !name)
        return nullptr;
    lang::String key(name);
    return static_cast<SpriteBase*>(m_pNameTable->get(&key));
}

void GameCanvas3::unlinkSprite(SpriteBase* sprite)
{
    const lang::String& old = sprite->getName();
    if (m_pNameTable && !old.isEmpty()) {
        lang::String key(old);
        // Only the sprite's own entry: another sprite may hold the name now.
        if (m_pNameTable->get(&key) == sprite)
            m_pNameTable->removeKey(&key);
    }
    if (m_pRootList)
        m_pRootList->removeElement(sprite);
    m_removalList.removeElement(sprite);
}

void GameCanvas3::addSprite(const char* name, SpriteBase* sprite, int index)
{
    if (!sprite || !m_pRootList)
        return;
    lang::Synchronized guard(this, true);
    lang::Hold hold(sprite);
    // A copy: the name may be the sprite's own, which setName replaces.
    const lang::String newName(name ? name : "");
    unlinkSprite(sprite);
    lang::Synchronized rootGuard(m_pRootList);
    int count = m_pRootList->size();
    if (index < 0 || index > count)
        index = count;
    m_pRootList->insertElementAt(sprite, index);
    sprite->setName(newName);
    if (m_pNameTable && !newName.isEmpty())
        m_pNameTable->put(newName, sprite);
}

void GameCanvas3::addSpriteBehind(const char* name, SpriteBase* sprite, SpriteBase* other)
{
    if (!sprite || !m_pRootList)
        return;
    lang::Synchronized guard(this, true);
    lang::Hold hold(sprite);
    unlinkSprite(sprite);
    int index = other ? m_pRootList->indexOf(other) : -1;
    addSprite(name, sprite, index < 0 ? 0 : index);
}

void GameCanvas3::removeSprite(SpriteBase* sprite)
{
    if (!sprite)
        return;
    lang::Synchronized guard(this, true);
    sprite->setVisible(false);
    const lang::String& old = sprite->getName();
    if (m_pNameTable && !old.isEmpty()) {
        lang::String key(old);
        if (m_pNameTable->get(&key) == sprite)
            m_pNameTable->removeKey(&key);
    }
    if (m_removalList.indexOf(sprite) < 0)
        m_removalList.addElement(sprite);
}

SpriteBase* GameCanvas3::childAt(int index)
{
    if (!m_pRootList)
        return nullptr;
    lang::Synchronized guard(m_pRootList);
    if (index < 0 || index >= m_pRootList->size())
        return nullptr;
    SpriteBase* s = rootSprite(m_pRootList, index);
    s->addRef();
    return s;
}

int GameCanvas3::getChildCount()
{
    return m_pRootList ? m_pRootList->size() : 0;
}

void GameCanvas3::setTransition(TransitionBase* transition)
{
    if (transition)
        transition->addRef();
    TransitionBase* old = m_pTransition;
    m_pTransition = transition;
    if (old)
        old->release();
}

void GameCanvas3::showWaitCursor()
{
    setCursor(window::Cursor::waitCursor);
    requestExit();
}

bool GameCanvas3::isOverlayShowing()
{
    return m_pTransition && !m_pTransition->isFinished();
}

bool GameCanvas3::isTransitionRunning()
{
    return m_pTransition && !m_pTransition->isFinished() && m_pTransition->getState() == -1;
}

bool GameCanvas3::isCapturePending()
{
    return m_pTransition && m_pTransition->getState() != -1;
}

void GameCanvas3::paint(window::Graphics* g)
{
    if (!m_bStarted) {
        paintBackground(g);
        return;
    }
    m_bDirty = true;
    paint();
}

void GameCanvas3::update(window::Graphics* g)
{
    paint(g);
}

LRESULT GameCanvas3::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The window's paint takes the paint lock and then paints the canvas,
    // which takes the canvas monitor: taken first here, the monitor keeps the
    // one order every paint uses (canvas monitor, then the paint lock).
    if (message == WM_PAINT) {
        lang::Synchronized canvasGuard(this, true);
        return Component::handleMessage(message, wParam, lParam);
    }
    return Component::handleMessage(message, wParam, lParam);
}

void GameCanvas3::paint()
{
    lang::Synchronized canvasGuard(this, true);
    lang::Synchronized paintGuard(window::WindowGlobals::paintLock());
    m_bDirty = false;
    if (!m_pRootList || window::WindowGlobals::isQuitting())
        return;
    const bool capturePending = isCapturePending();
    window::Graphics* g = getGraphics();
    if (!g)
        return;
    {
        lang::Synchronized rootGuard(m_pRootList);
        for (int i = 0; i < m_pRootList->size(); ++i) {
            SpriteBase* s = rootSprite(m_pRootList, i);
            if (s->isShowing())
                s->prepareTransition(g);
        }
    }
    window::Graphics* d = g->create();
    if (d) {
        d->setColor(m_background);
        {
            lang::Synchronized rootGuard(m_pRootList);
            for (int i = 0; i < m_pRootList->size(); ++i) {
                SpriteBase* s = rootSprite(m_pRootList, i);
                s->getBounds();
                if (s->isShowing())
                    s->draw(d);
            }
            if (capturePending)
                paintTransition(d);
        }
        if (isTransitionRunning())
            m_pTransition->paint(d);
        drawFps(d);
        d->dispose();
        d->release();
    }
    g->release();
    if (m_pTransition && m_pTransition->isFinished()) {
        setTransition(nullptr);
        onTransitionFinished();
    }
    postPaintDone();
}

void GameCanvas3::paintTransition(window::Graphics* g)
{
    if (!m_pTransition)
        return;
    lang::Hold hold(m_pTransition);
    TransitionBase* transition = m_pTransition;
    const int layer = transition->getState();
    transition->capture(g, 0, 0, m_size.width, m_size.height);
    afterTransitionPaint(layer);
    // Every layer captured: the transition starts.
    if (transition->getState() == -1)
        transition->reset();
}

void GameCanvas3::drawFps(window::Graphics* g)
{
    if (!m_bShowFrameRate || m_dFrameTime <= 0.0)
        return;
    const double rate = 1.0 / m_dFrameTime;
    // A dark box with light text, in the top-left corner.
    g->fillRectAlpha(10, 0, 40, 13, 0xC0000000u);
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", rate);
    lang::String shown(text);
    g->setColor(0xFFFFFFFFu);
    g->drawString(&shown, 12, 10);
    std::snprintf(text, sizeof text, "FPS: %.4f\n", rate);
    OutputDebugStringA(text);
}

void GameCanvas3::postPaintDone()
{
    if (s_bShowPosted)
        return;
    s_bShowPosted = true;
    if (m_hWnd)
        PostMessageA(m_hWnd, WMP_SHOW, 0, 0);
}

void GameCanvas3::onTransitionFinished() {}

void GameCanvas3::afterTransitionPaint(int) {}

} // namespace sprite
