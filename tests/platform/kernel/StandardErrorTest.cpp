// StandardErrorTest.cpp: the writer of standard error on a stream that takes
// nothing for a while: its callers wait their limit at most, and once the
// stream takes again it learns how many lines were left out.
#include "platform/kernel/StandardError.h"
#include "tests/support/MachinePace.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

using platform::StandardError;

// A pipe nobody reads yet, filled to the last byte: a write to its end
// waits until it is read, or fails at once when the end `waits` not (its
// descriptor shared with a program that made it so).
class FullPipe {
public:
    explicit FullPipe(bool waits)
    {
        if (pipe2(m_ends, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        const std::string block(4096, '-');
        while (write(m_ends[1], block.data(), block.size()) > 0) {
        }
        while (write(m_ends[1], "-", 1) > 0) {
        }
        // The writer's end waits, as a program's standard error does.
        fcntl(m_ends[1], F_SETFL, waits ? 0 : O_NONBLOCK);
        fcntl(m_ends[0], F_SETFL, 0);
    }
    ~FullPipe()
    {
        for (int end : m_ends)
            if (end >= 0)
                close(end);
    }
    int writeEnd() const { return m_ends[1]; }
    // Reads on a thread of its own until the writing end is closed.
    void startReading()
    {
        m_reader = std::thread([this] {
            char bytes[4096];
            ssize_t n;
            while ((n = read(m_ends[0], bytes, sizeof bytes)) > 0) {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_read.append(bytes, size_t(n));
            }
        });
    }
    // Waits until `part` has been read, ten seconds at the machine's pace at
    // most; whether it has.
    bool waitRead(const std::string& part)
    {
        testsupport::MachinePace pace;
        while (pace.counted() < 10000) {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (m_read.find(part) != std::string::npos)
                    return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    // Closes the writing end; what was read, the filling left out.
    std::string closeAndRead()
    {
        close(m_ends[1]);
        m_ends[1] = -1;
        m_reader.join();
        return m_read.substr(std::min(m_read.find_first_not_of('-'), m_read.size()));
    }

private:
    int m_ends[2] = {-1, -1};
    std::thread m_reader;
    std::mutex m_mutex;
    std::string m_read;
};

TEST(StandardErrorTest, AStreamThatTakesNothingKeepsNoCallerAndTheLinesLeftOutAreCountedOnceItTakes)
{
    // A stream that does not wait takes nothing as one that does.
    for (const bool waits : {true, false}) {
        SCOPED_TRACE(waits ? "a stream that waits" : "a stream that does not wait");
        FullPipe stream(waits);
        ASSERT_LE(0, stream.writeEnd());
        {
            StandardError writer(stream.writeEnd(), 100);
            // The first line waits its tenth of a second; the next ones, put while
            // the stream is still stuck, are left out at once.
            std::atomic<int> returned{0};
            std::thread caller([&] {
                writer.put("first\n");
                ++returned;
                writer.put("second\n");
                writer.put("third\n");
                ++returned;
            });
            testsupport::MachinePace pace;
            while (returned < 2 && pace.counted() < 10000)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            EXPECT_EQ(2, returned) << "a caller waits for a stream that takes nothing";
            // The stream takes again: the line that waited comes whole, then the
            // count, then what is put afterwards.
            stream.startReading();
            caller.join();
            EXPECT_TRUE(stream.waitRead("left out"));
            writer.put("fourth\n");
        }
        EXPECT_EQ("first\n(2 lines were left out here: standard error took nothing for a while)\nfourth\n",
                  stream.closeAndRead());
    }
}

} // namespace
