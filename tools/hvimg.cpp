// hvimg: decodes a picture as the engine does (a file, or "+item" of an
// archive opened with --archive, including "a|b" masked names) and writes
// the pixels as a PNG, so that anyone can look at what the readers produce.
#include "core/lang/Exception.h"
#include "core/lang/ResourceFile.h"
#include "windowing/d3d/ImageWinDX.h"
#include "tools/PngWriter.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: hvimg [--archive <archive>] <name> <out.png>\n"
                 "  name: a file path, or +item of the archive; \"a|b\" masks picture a with picture b\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    const char* archive = nullptr;
    std::vector<const char*> args;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--archive") == 0 && i + 1 < argc)
            archive = argv[++i];
        else
            args.push_back(argv[i]);
    }
    if (args.size() != 2)
        return usage();

    if (archive) {
        try {
            lang::ResourceFile::open(lang::String(archive));
        } catch (lang::Exception* e) {
            std::fprintf(stderr, "hvimg: %s\n", e->toString().c_str());
            e->release();
            return 1;
        }
    }

    window::ImageWinDX* image = new window::ImageWinDX(lang::String(args[0]), true);
    int status = 0;
    if (!image->hasPixels()) {
        std::fprintf(stderr, "hvimg: %s: %s\n", args[0],
                     image->isLoadFailed() ? "could not be read or decoded" : "too short to be a picture");
        status = 1;
    } else {
        std::printf("%s: %d x %d, %s\n", args[0], image->getWidth(), image->getHeight(),
                    image->hasAlpha() ? "with alpha" : "opaque");
        if (!tools::writePng(args[1], image->getPixels(), image->getWidth(), image->getHeight(), true)) {
            std::fprintf(stderr, "hvimg: cannot write %s\n", args[1]);
            status = 1;
        }
    }
    image->release();
    lang::ResourceFile::closeAll();
    return status;
}
