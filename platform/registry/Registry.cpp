// Registry.cpp: the registry calls, each a thin step into the process's store.
#include "platform/registry/Registry.h"

#include "platform/registry/RegistryStore.h"

using platform::RegistryStore;

LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM, PHKEY result)
{
    return RegistryStore::instance().openKey(key, subKey, false, result, nullptr);
}

LSTATUS RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY result,
                        LPDWORD disposition)
{
    return RegistryStore::instance().openKey(key, subKey, true, result, disposition);
}

LSTATUS RegCreateKeyA(HKEY key, LPCSTR subKey, PHKEY result)
{
    return RegistryStore::instance().openKey(key, subKey, true, result, nullptr);
}

LSTATUS RegCloseKey(HKEY key)
{
    return RegistryStore::instance().closeKey(key);
}

LSTATUS RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD dataSize)
{
    return RegistryStore::instance().queryValue(key, valueName, type, data, dataSize);
}

LSTATUS RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize)
{
    return RegistryStore::instance().setValue(key, valueName, type, data, dataSize);
}

LSTATUS RegDeleteValueA(HKEY key, LPCSTR valueName)
{
    return RegistryStore::instance().deleteValue(key, valueName);
}

LSTATUS RegDeleteKeyA(HKEY key, LPCSTR subKey)
{
    return RegistryStore::instance().deleteKey(key, subKey);
}

LSTATUS RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD, LPSTR keyClass,
                      LPDWORD classLength, PFILETIME lastWriteTime)
{
    LSTATUS result = RegistryStore::instance().enumKey(key, index, name, nameLength);
    if (result == ERROR_SUCCESS) {
        // Keys have no class text and no recorded write time here.
        if (keyClass && classLength && *classLength > 0)
            keyClass[0] = '\0';
        if (classLength)
            *classLength = 0;
        if (lastWriteTime)
            *lastWriteTime = FILETIME{0, 0};
    }
    return result;
}

LSTATUS RegQueryInfoKeyA(HKEY key, LPSTR keyClass, LPDWORD classLength, LPDWORD, LPDWORD subKeys,
                         LPDWORD maxSubKeyLength, LPDWORD maxClassLength, LPDWORD values, LPDWORD maxValueNameLength,
                         LPDWORD maxValueLength, LPDWORD securityDescriptor, PFILETIME lastWriteTime)
{
    LSTATUS result =
        RegistryStore::instance().queryInfo(key, subKeys, maxSubKeyLength, values, maxValueNameLength, maxValueLength);
    if (result == ERROR_SUCCESS) {
        if (keyClass && classLength && *classLength > 0)
            keyClass[0] = '\0';
        if (classLength)
            *classLength = 0;
        if (maxClassLength)
            *maxClassLength = 0;
        if (securityDescriptor)
            *securityDescriptor = 0;
        if (lastWriteTime)
            *lastWriteTime = FILETIME{0, 0};
    }
    return result;
}

namespace platform {

std::string registryFile()
{
    return RegistryStore::instance().file();
}

std::string keepBesideSettings(const std::string& suffix, const std::string& bytes, std::string& error)
{
    const std::string file = registryFile();
    if (file.empty()) {
        error = "there is no settings file";
        return std::string();
    }
    return RegistryFile(file).keepBeside(suffix, bytes, error);
}

void setRegistryFile(const char* path)
{
    RegistryStore::instance().setFile(path);
}

std::string registryWriteFailure()
{
    return RegistryStore::instance().writeFailure();
}

RegistryBatch::RegistryBatch()
{
    RegistryStore::instance().beginBatch();
}

RegistryBatch::~RegistryBatch()
{
    end();
}

LSTATUS RegistryBatch::end()
{
    if (m_ended)
        return ERROR_SUCCESS;
    m_ended = true;
    return RegistryStore::instance().endBatch();
}

} // namespace platform
