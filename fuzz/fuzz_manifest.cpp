// Fuzzes the data manifest loader: the input is a manifest that both passes
// read, with the framework's classes registered and no script host. The
// input is also the archive-less item "+m" that nested kinds may name, so
// self-nesting is exercised; other names find nothing.
#include "core/io/ByteArrayInputStream.h"
#include "core/util/Hashtable.h"
#include "platform/user/Backend.h"
#include "sprites/loader/DataLoader.h"
#include "sprites/loader/SpriteFramework.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        platform::setWindowBackend("headless");
        sprite::SpriteFramework::registerClasses();
        return true;
    }();
    (void)ready;
    // Manifests are a few kilobytes; longer inputs add nothing.
    if (size > (1u << 16))
        return 0;
    auto* loader = new sprite::DataLoader(lang::String("fuzz-missing-folder"), nullptr, nullptr);
    auto* in = new io::ByteArrayInputStream(data, int(size));
    loader->getStreamTable()->put(lang::String("+m"), in);
    in->release();
    loader->countEntries(lang::String("+m"));
    loader->load(lang::String("+m"));
    loader->release();
    return 0;
}
