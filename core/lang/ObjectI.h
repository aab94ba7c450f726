// ObjectI.h: the pure interface of every framework object: reference counting,
// the monitor, equality, hashing, text form, and wait/notify.
#pragma once

namespace lang {

class Object;
class String;

class ObjectI {
public:
    virtual void addRef() = 0;
    virtual void release() = 0;
    virtual void lock() = 0;
    virtual void unlock() = 0;
    virtual int hashCode() = 0;
    virtual bool equals(Object* other) = 0;
    virtual String toString() = 0;
    virtual void wait(int milliseconds) = 0;
    virtual void wait() = 0;
    virtual void notify() = 0;
    virtual void notifyAll() = 0;

protected:
    virtual ~ObjectI() = default;
};

} // namespace lang
