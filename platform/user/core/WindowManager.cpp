// WindowManager.cpp: lookups, thread queues, sending and taking messages,
// invalid areas, hit testing and composing a top-level window's picture.
#include "platform/user/core/WindowManager.h"

#include "platform/kernel/Clock.h"
#include "platform/user/Backend.h"
#include "platform/user/Cursors.h"
#include "platform/user/Display.h"
#include "platform/user/Input.h"

#include <algorithm>
#include <atomic>
#include <chrono>

namespace platform {
namespace user {

namespace {

// Ends the thread's queue when the thread ends, so that senders waiting on it
// are released and its windows forgotten.
struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder()
    {
        if (queue)
            WindowManager::instance().threadEnded(queue);
    }
};
thread_local QueueHolder t_queue;

bool inRange(UINT message, UINT lo, UINT hi)
{
    if (lo == 0 && hi == 0)
        return true;
    return message >= lo && message <= hi;
}

bool windowMatches(HWND messageWindow, HWND filter)
{
    if (filter == nullptr)
        return true;
    if (filter == (HWND)(LONG_PTR)-1)
        return messageWindow == nullptr;
    return messageWindow == filter;
}

bool isMouseMessage(UINT m)
{
    return m >= WM_MOUSEFIRST && m <= WM_MOUSELAST;
}

bool isButtonDown(UINT m)
{
    return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN;
}

// Longest wait of a waiting message loop while timers run: the installed clock
// may be a test's, which moves without waking anyone.
constexpr int kTimerPollMs = 10;

} // namespace

void applyKeyChange(BYTE* state, BYTE key, BYTE specific, bool down)
{
    auto change = [state, down](BYTE k) {
        if (down) {
            if (!(state[k] & 0x80))
                state[k] ^= 0x01;
            state[k] |= 0x80;
        } else {
            state[k] &= BYTE(~0x80);
        }
    };
    if (specific) {
        change(specific);
        BYTE left = 0, right = 0;
        if (key == VK_SHIFT) {
            left = VK_LSHIFT;
            right = VK_RSHIFT;
        } else if (key == VK_CONTROL) {
            left = VK_LCONTROL;
            right = VK_RCONTROL;
        } else if (key == VK_MENU) {
            left = VK_LMENU;
            right = VK_RMENU;
        }
        bool generic = left && ((state[left] | state[right]) & 0x80);
        if (generic && !(state[key] & 0x80))
            state[key] ^= 0x01;
        state[key] = BYTE((state[key] & 0x01) | (generic ? 0x80 : 0));
    } else if (key) {
        change(key);
    }
}

WindowManager& WindowManager::instance()
{
    // Never destroyed: threads and static destructors may use it at exit.
    static WindowManager* manager = new WindowManager;
    return *manager;
}

WindowRecord* WindowManager::find(HWND hwnd) const
{
    auto it = windows.find(hwnd);
    return it == windows.end() ? nullptr : it->second.get();
}

std::shared_ptr<WindowRecord> WindowManager::findShared(HWND hwnd) const
{
    auto it = windows.find(hwnd);
    return it == windows.end() ? nullptr : it->second;
}

std::shared_ptr<ThreadQueue> WindowManager::currentQueue()
{
    if (!t_queue.queue) {
        t_queue.queue = std::make_shared<ThreadQueue>(GetCurrentThreadId());
        queues[t_queue.queue->threadId] = t_queue.queue;
    }
    return t_queue.queue;
}

std::shared_ptr<ThreadQueue> WindowManager::queueOfThread(DWORD threadId) const
{
    auto it = queues.find(threadId);
    return it == queues.end() ? nullptr : it->second.lock();
}

HWND WindowManager::topLevelOf(HWND hwnd) const
{
    const WindowRecord* w = find(hwnd);
    while (w && w->isChild()) {
        const WindowRecord* p = find(w->parent);
        if (!p)
            break;
        w = p;
    }
    return w ? w->hwnd : nullptr;
}

bool WindowManager::isVisible(const WindowRecord& window) const
{
    const WindowRecord* w = &window;
    while (w) {
        if (!(w->style & WS_VISIBLE))
            return false;
        if (!w->isChild())
            return true;
        w = find(w->parent);
    }
    return false;
}

RECT WindowManager::nonClientInsets(DWORD style, DWORD exStyle)
{
    RECT r{0, 0, 0, 0};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return RECT{-r.left, -r.top, r.right, r.bottom};
}

void WindowManager::clientSize(const WindowRecord& w, int& width, int& height)
{
    RECT in = nonClientInsets(w.style, w.exStyle);
    width = std::max<LONG>(0, (w.rect.right - w.rect.left) - in.left - in.right);
    height = std::max<LONG>(0, (w.rect.bottom - w.rect.top) - in.top - in.bottom);
}

POINT WindowManager::clientOriginInParent(const WindowRecord& w)
{
    RECT in = nonClientInsets(w.style, w.exStyle);
    return POINT{w.rect.left + in.left, w.rect.top + in.top};
}

POINT WindowManager::clientOriginOnScreen(const WindowRecord& window) const
{
    POINT p{0, 0};
    const WindowRecord* w = &window;
    while (w) {
        POINT o = clientOriginInParent(*w);
        p.x += o.x;
        p.y += o.y;
        if (!w->isChild())
            break;
        w = find(w->parent);
    }
    return p;
}

void WindowManager::invalidate(WindowRecord& w, const RECT* rect, bool erase)
{
    int cw, ch;
    clientSize(w, cw, ch);
    RECT r = rect ? *rect : RECT{0, 0, cw, ch};
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    r.right = std::min<LONG>(r.right, cw);
    r.bottom = std::min<LONG>(r.bottom, ch);
    if (r.left >= r.right || r.top >= r.bottom)
        return;
    if (w.updatePending) {
        w.updateRect.left = std::min(w.updateRect.left, r.left);
        w.updateRect.top = std::min(w.updateRect.top, r.top);
        w.updateRect.right = std::max(w.updateRect.right, r.right);
        w.updateRect.bottom = std::max(w.updateRect.bottom, r.bottom);
    } else {
        w.updateRect = r;
    }
    w.updatePending = true;
    w.erasePending = w.erasePending || erase;
    if (w.queue)
        w.queue->wake.notify_all();
}

void WindowManager::post(const std::shared_ptr<ThreadQueue>& queue, QueueEntry entry)
{
    if (!queue || !queue->alive)
        return;
    queue->entries.push_back(std::move(entry));
    queue->wake.notify_all();
}

HWND WindowManager::hitTest(POINT screen) const
{
    auto contains = [](const RECT& r, POINT p) {
        return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
    };
    // Topmost windows first, then the others, each band front first.
    for (int band = 0; band < 2; ++band) {
        for (HWND top : topLevels) {
            const WindowRecord* w = find(top);
            if (!w || !(w->style & WS_VISIBLE) || w->isIconic())
                continue;
            if (bool(w->exStyle & WS_EX_TOPMOST) != (band == 0))
                continue;
            if (!contains(w->rect, screen))
                continue;
            // Inside this window: find the deepest child under the point.
            for (;;) {
                POINT origin = clientOriginOnScreen(*w);
                int cw, ch;
                clientSize(*w, cw, ch);
                if (!contains(RECT{origin.x, origin.y, origin.x + cw, origin.y + ch}, screen))
                    return nullptr; // on the border or caption
                const WindowRecord* hit = nullptr;
                for (HWND c : w->children) {
                    const WindowRecord* cw2 = find(c);
                    if (!cw2 || !(cw2->style & WS_VISIBLE))
                        continue;
                    RECT r = cw2->rect;
                    r.left += origin.x;
                    r.right += origin.x;
                    r.top += origin.y;
                    r.bottom += origin.y;
                    if (contains(r, screen)) {
                        hit = cw2;
                        break;
                    }
                }
                if (!hit)
                    return w->hwnd;
                w = hit;
            }
        }
    }
    return nullptr;
}

void WindowManager::resizeSurface(WindowRecord& w)
{
    int cw, ch;
    clientSize(w, cw, ch);
    if (cw == w.surfaceWidth && ch == w.surfaceHeight)
        return;
    auto pixels = std::make_shared<std::vector<uint32_t>>(size_t(cw) * size_t(ch), 0xFF000000u);
    // Keep what fits of the old picture.
    for (int y = 0; y < std::min(ch, w.surfaceHeight); ++y)
        for (int x = 0; x < std::min(cw, w.surfaceWidth); ++x)
            (*pixels)[size_t(y) * cw + x] = (*w.surface)[size_t(y) * w.surfaceWidth + x];
    w.surface = std::move(pixels);
    w.surfaceWidth = cw;
    w.surfaceHeight = ch;
}

bool WindowManager::covers(const WindowRecord& w, int ox, int oy, const RECT& area) const
{
    int cw, ch;
    clientSize(w, cw, ch);
    if (area.left < ox || area.top < oy || area.right > ox + cw || area.bottom > oy + ch)
        return false;
    if (w.presented && area.right <= ox + w.surfaceWidth && area.bottom <= oy + w.surfaceHeight)
        return true;
    if (w.fullScreenPicture)
        return false;
    for (HWND h : w.children) {
        const WindowRecord* c = find(h);
        if (!c || !(c->style & WS_VISIBLE))
            continue;
        POINT o = clientOriginInParent(*c);
        if (covers(*c, ox + o.x, oy + o.y, area))
            return true;
    }
    return false;
}

bool WindowManager::composeWindow(const WindowRecord& w, int ox, int oy, RECT clip, uint32_t* pixels, int width) const
{
    int cw, ch;
    clientSize(w, cw, ch);
    const RECT area{std::max<LONG>(clip.left, ox), std::max<LONG>(clip.top, oy), std::min<LONG>(clip.right, ox + cw),
                    std::min<LONG>(clip.bottom, oy + ch)};
    if (area.left >= area.right || area.top >= area.bottom)
        return false;
    // Children front first: the first one that paints the whole area hides
    // the window's own picture and every child behind it. A full-screen
    // picture shows no child.
    size_t drawn = w.fullScreenPicture ? 0 : w.children.size();
    bool hidden = false;
    for (size_t i = 0; i < drawn; ++i) {
        const WindowRecord* c = find(w.children[i]);
        if (!c || !(c->style & WS_VISIBLE))
            continue;
        POINT o = clientOriginInParent(*c);
        if (covers(*c, ox + o.x, oy + o.y, area)) {
            drawn = i + 1;
            hidden = true;
            break;
        }
    }
    bool anything = false;
    if (w.presented) {
        anything = true;
        // The row's part inside both the area and the window's surface.
        const LONG right = std::min<LONG>(area.right, ox + w.surfaceWidth);
        const LONG bottom = std::min<LONG>(area.bottom, oy + w.surfaceHeight);
        for (LONG y = area.top; !hidden && y < bottom && area.left < right; ++y) {
            const uint32_t* from = w.surface->data() + size_t(y - oy) * w.surfaceWidth + (area.left - ox);
            std::copy(from, from + (right - area.left), pixels + (size_t(y) * width + area.left));
        }
    }
    // Back to front.
    for (size_t i = drawn; i-- > 0;) {
        const WindowRecord* c = find(w.children[i]);
        if (!c || !(c->style & WS_VISIBLE))
            continue;
        POINT o = clientOriginInParent(*c);
        anything = composeWindow(*c, ox + o.x, oy + o.y, area, pixels, width) || anything;
    }
    return anything;
}

bool WindowManager::compose(HWND topLevel, std::vector<uint32_t>& pixels, int& width, int& height) const
{
    const WindowRecord* top = find(topLevel);
    if (!top)
        return false;
    clientSize(*top, width, height);
    const RECT all{0, 0, width, height};
    // Black where no window's picture lies; nothing to clear when the
    // pictures cover the client area.
    if (covers(*top, 0, 0, all))
        pixels.resize(size_t(width) * size_t(height));
    else
        pixels.assign(size_t(width) * size_t(height), 0xFF000000u);
    return composeWindow(*top, 0, 0, all, pixels.data(), width);
}

void WindowManager::forgetWindow(HWND hwnd)
{
    WindowRecord* w = find(hwnd);
    if (!w)
        return;
    if (w->isChild()) {
        if (WindowRecord* p = find(w->parent))
            p->children.erase(std::remove(p->children.begin(), p->children.end(), hwnd), p->children.end());
    }
    topLevels.erase(std::remove(topLevels.begin(), topLevels.end(), hwnd), topLevels.end());
    timers.erase(std::remove_if(timers.begin(), timers.end(), [hwnd](const TimerRecord& t) { return t.hwnd == hwnd; }),
                 timers.end());
    if (w->queue) {
        auto& e = w->queue->entries;
        e.erase(std::remove_if(e.begin(), e.end(),
                               [hwnd](const QueueEntry& q) { return q.kind != QueueEntry::Task && q.msg.hwnd == hwnd; }),
                e.end());
    }
    if (focus == hwnd)
        focus = nullptr;
    if (active == hwnd)
        active = nullptr;
    if (capture == hwnd)
        capture = nullptr;
    windows.erase(hwnd);
}

LRESULT WindowManager::callProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC proc;
    {
        std::lock_guard<std::mutex> lock(mutex);
        WindowRecord* w = find(hwnd);
        if (!w || !w->proc)
            return 0;
        proc = w->proc;
    }
    return proc(hwnd, message, wParam, lParam);
}

void WindowManager::runSent(Lock& lock, const std::shared_ptr<SentMessage>& sent)
{
    lock.unlock();
    LRESULT result = callProc(sent->hwnd, sent->message, sent->wParam, sent->lParam);
    lock.lock();
    sent->result = result;
    sent->done = true;
    if (sent->replyTo)
        sent->replyTo->wake.notify_all();
}

LRESULT WindowManager::send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Lock lock(mutex);
    WindowRecord* w = find(hwnd);
    if (!w)
        return 0;
    auto me = currentQueue();
    auto target = w->queue;
    if (target == me || !target) {
        WNDPROC proc = w->proc;
        lock.unlock();
        return proc ? proc(hwnd, message, wParam, lParam) : 0;
    }
    if (!target->alive)
        return 0;
    auto sent = std::make_shared<SentMessage>();
    sent->hwnd = hwnd;
    sent->message = message;
    sent->wParam = wParam;
    sent->lParam = lParam;
    sent->replyTo = me;
    target->sent.push_back(sent);
    target->wake.notify_all();
    // While waiting, run what others send to this thread, so that two threads
    // sending to each other do not wait for ever.
    while (!sent->done) {
        if (!me->sent.empty()) {
            auto incoming = me->sent.front();
            me->sent.pop_front();
            runSent(lock, incoming);
            continue;
        }
        me->wake.wait(lock);
    }
    return sent->result;
}

void WindowManager::takeInput(Lock& lock, const std::shared_ptr<ThreadQueue>& queue, const QueueEntry& entry)
{
    if (entry.stateKey || entry.stateKeySpecific)
        applyKeyChange(queue->keyState, entry.stateKey, entry.stateKeySpecific, entry.stateDown);
    const MSG& m = entry.msg;
    if (!isMouseMessage(m.message))
        return;
    HWND hwnd = m.hwnd;
    // A press on an inactive window activates its top-level window first.
    if (isButtonDown(m.message)) {
        HWND top = topLevelOf(hwnd);
        if (top && top != active) {
            lock.unlock();
            activate(top, WA_CLICKACTIVE, false);
            lock.lock();
        }
    }
    if (!capture && find(hwnd)) {
        lock.unlock();
        send(hwnd, WM_SETCURSOR, (WPARAM)hwnd, MAKELPARAM(HTCLIENT, m.message));
        lock.lock();
    }
}

bool WindowManager::takeMessage(MSG* out, HWND filter, UINT lo, UINT hi, UINT removeFlags, bool wait)
{
    const bool remove = (removeFlags & PM_REMOVE) != 0;
    WindowBackend& backend = windowBackend();
    const int pumpInterval = backend.pumpInterval();
    Lock lock(mutex);
    auto queue = currentQueue();
    bool pumped = false;
    for (;;) {
        if (!queue->sent.empty()) {
            auto sent = queue->sent.front();
            queue->sent.pop_front();
            runSent(lock, sent);
            continue;
        }
        if (pumpInterval >= 0 && !pumped) {
            pumped = true;
            lock.unlock();
            backend.pump();
            lock.lock();
            continue;
        }
        // Posted and input messages and queued work, in order.
        bool restart = false;
        for (auto it = queue->entries.begin(); it != queue->entries.end(); ++it) {
            if (it->kind == QueueEntry::Task) {
                auto work = std::move(it->task);
                queue->entries.erase(it);
                lock.unlock();
                if (work)
                    work();
                lock.lock();
                restart = true;
                break;
            }
            if (!windowMatches(it->msg.hwnd, filter) || !inRange(it->msg.message, lo, hi))
                continue;
            *out = it->msg;
            if (remove) {
                QueueEntry entry = std::move(*it);
                queue->entries.erase(it);
                if (entry.kind == QueueEntry::Input)
                    takeInput(lock, queue, entry);
            }
            return true;
        }
        if (restart)
            continue;
        if (queue->quitPosted && inRange(WM_QUIT, lo, hi)) {
            *out = MSG{};
            out->message = WM_QUIT;
            out->wParam = WPARAM(queue->quitCode);
            out->time = clock().tickCount();
            out->pt = pointer;
            if (remove)
                queue->quitPosted = false;
            return true;
        }
        // WM_PAINT for a window of this thread with an invalid area, parents first.
        if (inRange(WM_PAINT, lo, hi) && filter != (HWND)(LONG_PTR)-1) {
            HWND found = nullptr;
            std::function<void(HWND)> visit = [&](HWND h) {
                const WindowRecord* w = find(h);
                if (!w || found || !(w->style & WS_VISIBLE) || w->isIconic())
                    return;
                if (w->queue == queue && w->updatePending && windowMatches(h, filter)) {
                    found = h;
                    return;
                }
                for (HWND c : w->children)
                    visit(c);
            };
            for (HWND top : topLevels)
                visit(top);
            if (found) {
                *out = MSG{};
                out->hwnd = found;
                out->message = WM_PAINT;
                out->time = clock().tickCount();
                out->pt = pointer;
                return true;
            }
        }
        // WM_TIMER for a timer that is due.
        const DWORD now = clock().tickCount();
        int waitMs = -1;
        if (inRange(WM_TIMER, lo, hi) && filter != (HWND)(LONG_PTR)-1) {
            for (TimerRecord& t : timers) {
                if (t.queue != queue || (filter && t.hwnd != filter))
                    continue;
                int32_t left = int32_t(t.due - now);
                if (left <= 0) {
                    *out = MSG{};
                    out->hwnd = t.hwnd;
                    out->message = WM_TIMER;
                    out->wParam = t.id;
                    out->lParam = (LPARAM)t.proc;
                    out->time = now;
                    out->pt = pointer;
                    if (remove)
                        t.due = now + t.interval;
                    return true;
                }
                waitMs = waitMs < 0 ? std::min(left, kTimerPollMs) : std::min(waitMs, int(left));
            }
        }
        if (!wait)
            return false;
        if (pumpInterval >= 0)
            waitMs = waitMs < 0 ? pumpInterval : std::min(waitMs, pumpInterval);
        if (waitMs < 0)
            queue->wake.wait(lock);
        else
            queue->wake.wait_for(lock, std::chrono::milliseconds(waitMs));
        pumped = false;
    }
}

void WindowManager::runOnWindowThread(HWND hwnd, std::function<void()> work)
{
    std::lock_guard<std::mutex> lock(mutex);
    WindowRecord* w = find(hwnd);
    if (!w)
        return;
    QueueEntry entry;
    entry.kind = QueueEntry::Task;
    entry.task = std::move(work);
    post(w->queue, std::move(entry));
}

const WindowRecord* WindowManager::shownAlone(const WindowRecord& top) const
{
    int width, height;
    clientSize(top, width, height);
    const RECT all{0, 0, width, height};
    const WindowRecord* w = &top;
    int ox = 0, oy = 0;
    // A full-screen picture is shown whatever its children hold.
    while (!w->fullScreenPicture) {
        // The front child, if it covers everything, hides all behind it.
        const WindowRecord* front = nullptr;
        for (HWND h : w->children) {
            const WindowRecord* c = find(h);
            if (c && (c->style & WS_VISIBLE)) {
                front = c;
                break;
            }
        }
        if (!front)
            break;
        POINT o = clientOriginInParent(*front);
        if (!covers(*front, ox + o.x, oy + o.y, all))
            return nullptr;
        w = front;
        ox += o.x;
        oy += o.y;
    }
    if (!w->presented || ox != 0 || oy != 0 || w->surfaceWidth != width || w->surfaceHeight != height)
        return nullptr;
    return w;
}

std::shared_ptr<const std::vector<uint32_t>> WindowManager::lend(const std::shared_ptr<std::vector<uint32_t>>& buffer)
{
    auto returned = std::make_shared<std::atomic<bool>>(false);
    lent.push_back(LentBuffer{buffer, returned});
    // The reference owns nothing: the lent list keeps the buffer.
    return std::shared_ptr<const std::vector<uint32_t>>(
        buffer.get(), [returned](const std::vector<uint32_t>*) { returned->store(true, std::memory_order_release); });
}

void WindowManager::reclaimLent()
{
    lent.erase(std::remove_if(lent.begin(), lent.end(),
                              [](const LentBuffer& l) { return l.returned->load(std::memory_order_acquire); }),
               lent.end());
}

std::shared_ptr<std::vector<uint32_t>> WindowManager::freeFrameBuffer()
{
    reclaimLent();
    // Oldest first: the backend lets a frame go when it gets the next one.
    for (auto it = frameBuffers.rbegin(); it != frameBuffers.rend(); ++it) {
        if (it->use_count() == 1)
            return *it;
    }
    return std::make_shared<std::vector<uint32_t>>();
}

void WindowManager::keepFrameBuffer(const std::shared_ptr<std::vector<uint32_t>>& buffer)
{
    frameBuffers.erase(std::remove(frameBuffers.begin(), frameBuffers.end(), buffer), frameBuffers.end());
    frameBuffers.insert(frameBuffers.begin(), buffer);
    if (frameBuffers.size() > kFrameBuffers)
        frameBuffers.resize(kFrameBuffers);
}

void WindowManager::ownSurface(WindowRecord& w, bool keepPicture)
{
    reclaimLent();
    const bool pooled = std::find(frameBuffers.begin(), frameBuffers.end(), w.surface) != frameBuffers.end();
    if (w.surface.use_count() == (pooled ? 2 : 1))
        return;
    std::shared_ptr<std::vector<uint32_t>> own = freeFrameBuffer();
    if (keepPicture)
        *own = *w.surface;
    else
        own->resize(w.surface->size());
    w.surface = std::move(own);
}

void WindowManager::presentTopLevel(HWND hwnd)
{
    std::shared_ptr<const std::vector<uint32_t>> frame;
    int width = 0, height = 0;
    HWND top;
    {
        std::lock_guard<std::mutex> lock(mutex);
        top = topLevelOf(hwnd);
        const WindowRecord* record = find(top);
        if (!record)
            return;
        if (const WindowRecord* alone = shownAlone(*record)) {
            // The frame is that window's picture as it stands: shown
            // without a copy.
            clientSize(*record, width, height);
            keepFrameBuffer(alone->surface);
            frame = lend(alone->surface);
        } else {
            std::shared_ptr<std::vector<uint32_t>> composed = freeFrameBuffer();
            if (!compose(top, *composed, width, height))
                return;
            keepFrameBuffer(composed);
            frame = lend(composed);
        }
    }
    windowBackend().present(top, std::move(frame), width, height);
}

void WindowManager::threadEnded(const std::shared_ptr<ThreadQueue>& queue)
{
    std::vector<HWND> gone, goneTopLevels;
    {
        std::lock_guard<std::mutex> lock(mutex);
        queue->alive = false;
        queue->abandonSent();
        queue->entries.clear();
        auto it = queues.find(queue->threadId);
        if (it != queues.end() && it->second.lock() == queue)
            queues.erase(it);
        timers.erase(std::remove_if(timers.begin(), timers.end(),
                                    [&](const TimerRecord& t) { return t.queue == queue; }),
                     timers.end());
        // The thread's windows go with it, without messages: nobody is left to take them.
        for (auto& kv : windows)
            if (kv.second->queue == queue)
                gone.push_back(kv.first);
        for (HWND h : gone) {
            if (WindowRecord* w = find(h)) {
                w->children.clear();
                if (!w->isChild())
                    goneTopLevels.push_back(h);
            }
        }
        for (HWND h : gone)
            forgetWindow(h);
    }
    for (HWND h : goneTopLevels)
        windowBackend().windowDestroyed(h);
}

void WindowManager::reset()
{
    std::lock_guard<std::mutex> lock(mutex);
    windows.clear();
    topLevels.clear();
    classes.clear();
    timers.clear();
    focus = active = capture = nullptr;
    std::fill(std::begin(asyncKeys), std::end(asyncKeys), BYTE(0));
    pointer = POINT{0, 0};
    doubleClickTime = 500;
    cursor = nullptr;
    cursorCount = 0;
    fullScreen = false;
    switchedMode = DisplayMode{};
    modeList.clear();
    changeHook = nullptr;
    for (auto& kv : queues) {
        if (auto q = kv.second.lock()) {
            q->abandonSent();
            q->entries.clear();
            q->quitPosted = false;
            q->quitCode = 0;
            std::fill(std::begin(q->keyState), std::end(q->keyState), BYTE(0));
        }
    }
}

} // namespace user
} // namespace platform
