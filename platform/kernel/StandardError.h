// StandardError.h: the program's standard error, written by a thread of its
// own, so that a stream that takes nothing (a full pipe whose reader does not
// read) keeps no thread of the game waiting for longer than a moment.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <thread>

namespace platform {

class StandardError {
public:
    // How long a caller waits, at most, for its line to be written: far
    // longer than any reader that reads takes, short beside the two seconds
    // a close's scripts have.
    static constexpr int kLineWaitMs = 1000;

    // Writes `text` on the process's standard error (see put). Every line the
    // game writes there goes this way.
    static void line(const std::string& text);

    // A writer on the open file `fd` (borrowed); a caller waits `waitMs` at
    // most for each text. Its thread starts with the first text.
    StandardError(int fd, int waitMs);
    // Waits for its thread, which writes what it holds first: the stream must
    // take it by then.
    ~StandardError();
    StandardError(const StandardError&) = delete;
    StandardError& operator=(const StandardError&) = delete;

    // Hands `text` to the writing thread and returns once it is written, or
    // after waitMs. A text that waited that long is still written whenever the
    // stream takes it; until then the stream counts as stuck, and texts put
    // meanwhile are left out at once. Once it takes again, one line says how
    // many were left out. Texts are written whole and in the order put.
    void put(const std::string& text);

private:
    void run();
    // Writes all of `text`, or what the stream takes of it until it fails
    // (closed, say); a stream that does not wait is waited for as one that
    // does.
    void writeAll(const std::string& text) const;

    const int m_fd;
    const int m_waitMs;
    // The process it was made in: a process forked from it has none of its
    // threads, and makes a writer of its own.
    const pid_t m_process;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::string> m_queue;
    // Texts put so far, and written (or failed) so far: a text's number is
    // its place among those put.
    uint64_t m_put = 0;
    uint64_t m_written = 0;
    // Whether a text has waited its whole time for the stream, which has not
    // taken it yet; and the texts left out since.
    bool m_stuck = false;
    uint64_t m_leftOut = 0;
    bool m_ending = false;
    std::thread m_thread;
};

} // namespace platform
