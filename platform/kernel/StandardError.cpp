// StandardError.cpp: the writing thread and the waits of those who put lines.
#include "platform/kernel/StandardError.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <unistd.h>

namespace platform {

namespace {

// The process's writer. Never destroyed: lines written while static objects
// are torn down still go, and a thread held in a write for good is never
// waited for.
std::atomic<StandardError*> processWriter{nullptr};

} // namespace

void StandardError::line(const std::string& text)
{
    StandardError* writer = processWriter.load();
    if (!writer || writer->m_process != ::getpid()) {
        // The first line, or the first of a process forked from this one,
        // which has none of its threads (and whose writer's lock may have
        // been held as it was forked): it writes through a writer of its own,
        // made here rather than in the fork, so that a child that only starts
        // another program makes nothing. Two threads making one at once keep
        // the first.
        auto* own = new StandardError(STDERR_FILENO, kLineWaitMs);
        if (processWriter.compare_exchange_strong(writer, own))
            writer = own;
        else
            delete own;
    }
    writer->put(text);
}

StandardError::StandardError(int fd, int waitMs) : m_fd(fd), m_waitMs(waitMs), m_process(::getpid()) {}

StandardError::~StandardError()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ending = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void StandardError::put(const std::string& text)
{
    if (text.empty())
        return;
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_stuck) {
        ++m_leftOut;
        return;
    }
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
    m_queue.push_back(text);
    const uint64_t mine = ++m_put;
    m_changed.notify_all();
    if (!m_changed.wait_for(lock, std::chrono::milliseconds(m_waitMs), [&] { return m_written >= mine; }))
        m_stuck = true;
}

void StandardError::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_ending || !m_queue.empty(); });
        if (m_queue.empty())
            return;
        const std::string text = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        writeAll(text);
        lock.lock();
        ++m_written;
        // Taken: whoever puts a text next waits for it again, and learns of
        // those left out first.
        m_stuck = false;
        if (m_leftOut > 0) {
            const uint64_t leftOut = m_leftOut;
            m_leftOut = 0;
            lock.unlock();
            writeAll("(" + std::to_string(leftOut) + (leftOut == 1 ? " line was" : " lines were") +
                     " left out here: standard error took nothing for a while)\n");
            lock.lock();
        }
        m_changed.notify_all();
    }
}

void StandardError::writeAll(const std::string& text) const
{
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(m_fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // A stream that does not wait (whoever shares it made it so)
            // and takes nothing now: the thread waits for it here, as it
            // waits in the write of one that waits, so that the text is
            // neither cut nor dropped unseen.
            pollfd room{m_fd, POLLOUT, 0};
            if (::poll(&room, 1, -1) < 0 && errno != EINTR)
                return;
            if ((room.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0 && (room.revents & POLLOUT) == 0)
                return;
            continue;
        }
        if (n <= 0)
            return;
        done += size_t(n);
    }
}

} // namespace platform
