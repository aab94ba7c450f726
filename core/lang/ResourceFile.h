// ResourceFile.h: an open resource archive (an index file, or a module whose
// "FILE" resources are the items) and the chain of open archives, whose head
// is the current archive.
#pragma once

#include "core/lang/DLLItem.h"
#include "core/lang/FileItem.h"
#include "core/lang/ResourceFileHeader.h"

namespace lang {

class ResourceFile : public Object {
public:
    // A path ending in ".dll" or ".DLL" opens a module archive; anything else
    // is found on the search path and read as an index archive, which throws
    // "Error Opening <resolved path>" when it cannot be read.
    explicit ResourceFile(const String& path);
    ~ResourceFile() override;

    // Opens an archive: the first becomes current, later ones join the chain.
    static void open(const String& path);
    // The current archive or null (borrowed).
    static ResourceFile* getCurrent() { return s_pCurrent; }
    // Releases the whole chain.
    static void closeAll();

    // Stores other (taking a reference) at the end of the chain.
    void append(ResourceFile* other);
    // The item of that exact name, or null; the caller releases it. An index
    // archive answers alone; a module archive that lacks the item asks the
    // next archive of the chain.
    ResourceItem* getItem(const String& name, bool shared);

    HV_CLASS_NAME("ResourceFile", Object)

private:
    static ResourceFile* s_pCurrent;

    HMODULE m_hModule;
    ResourceFileHeader* m_pHeader;
    bool m_bIndexMode;
    ResourceFile* m_pNext;
};

} // namespace lang
