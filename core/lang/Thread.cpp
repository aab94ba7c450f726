// Thread.cpp: starting, joining and the thread procedure.
#include "core/lang/Thread.h"

#include "core/lang/String.h"
#include "platform/kernel/Clock.h"
#include "platform/kernel/Thread.h"

namespace lang {

Thread::Thread(Runnable* target) : m_pTarget(target), m_bRunning(false), m_hThread(nullptr)
{
    if (m_pTarget)
        m_pTarget->addRef();
}

Thread::~Thread()
{
    if (m_pTarget)
        m_pTarget->release();
    if (m_hThread)
        CloseHandle(m_hThread);
}

void Thread::start()
{
    if (m_bRunning)
        return;
    m_bRunning = true;
    if (m_hThread) {
        CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
    // The new thread takes its own reference first thing; hold one for it
    // until then, so a caller releasing us right after start() is safe.
    Object::addRef();
    uintptr_t h = crtBeginThreadEx(nullptr, 0, &Thread::threadProcedure, this, 0, nullptr);
    if (h == 0) {
        m_bRunning = false;
        Object::release();
        return;
    }
    m_hThread = reinterpret_cast<HANDLE>(h);
}

unsigned Thread::threadProcedure(void* argument)
{
    Thread* self = static_cast<Thread*>(argument);
    // The reference taken by start() on our behalf is ours now.
    if (self->m_pTarget)
        self->m_pTarget->run();
    self->m_bRunning = false;
    self->Object::release();
    return 0;
}

void Thread::join(int milliseconds)
{
    if (m_hThread)
        WaitForSingleObject(m_hThread, milliseconds == 0 ? INFINITE : DWORD(milliseconds));
}

void Thread::sleep(int milliseconds)
{
    Sleep(DWORD(milliseconds < 0 ? 0 : milliseconds));
}

String Thread::toString()
{
    return Object::toString();
}

bool Thread::isInstanceOf(const char* name)
{
    return isClassName(name, "Thread") || Object::isInstanceOf(name) || Runnable::isInstanceOf(name);
}

} // namespace lang
