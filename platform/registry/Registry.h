// Registry.h: the current user's registry: keys holding DWORD, text and byte
// values, kept in one settings file per user and written atomically; copies
// of the program running at once each keep the others' changes.
#pragma once

#include "platform/Win32Types.h"

#include <string>

typedef DWORD REGSAM;
typedef HKEY* PHKEY;
typedef LONG LSTATUS;

#ifndef HV_FILETIME_DEFINED
#define HV_FILETIME_DEFINED
// A time in 100-nanosecond units since 1601, split in two halves.
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
typedef FILETIME* PFILETIME;
#endif

// The one predefined root this layer keeps: the current user's settings.
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)0x80000001u)

// Access rights are accepted and not enforced: the file belongs to one user.
#define KEY_QUERY_VALUE 0x0001u
#define KEY_SET_VALUE 0x0002u
#define KEY_CREATE_SUB_KEY 0x0004u
#define KEY_ENUMERATE_SUB_KEYS 0x0008u
#define KEY_READ 0x20019u
#define KEY_WRITE 0x20006u
#define KEY_ALL_ACCESS 0xF003Fu

#define REG_NONE 0u
#define REG_SZ 1u
#define REG_EXPAND_SZ 2u
#define REG_BINARY 3u
#define REG_DWORD 4u

#define REG_OPTION_NON_VOLATILE 0x00000000u
#define REG_CREATED_NEW_KEY 0x00000001u
#define REG_OPENED_EXISTING_KEY 0x00000002u

#ifndef ERROR_SUCCESS
#define ERROR_SUCCESS 0L
#endif
#ifndef ERROR_FILE_NOT_FOUND
#define ERROR_FILE_NOT_FOUND 2L
#endif
#ifndef ERROR_ACCESS_DENIED
#define ERROR_ACCESS_DENIED 5L
#endif
#ifndef ERROR_INVALID_HANDLE
#define ERROR_INVALID_HANDLE 6L
#endif
#ifndef ERROR_WRITE_FAULT
#define ERROR_WRITE_FAULT 29L
#endif
#ifndef ERROR_INVALID_PARAMETER
#define ERROR_INVALID_PARAMETER 87L
#endif
#ifndef ERROR_BAD_PATHNAME
#define ERROR_BAD_PATHNAME 161L
#endif
#ifndef ERROR_MORE_DATA
#define ERROR_MORE_DATA 234L
#endif
#ifndef ERROR_NO_MORE_ITEMS
#define ERROR_NO_MORE_ITEMS 259L
#endif
#ifndef ERROR_KEY_DELETED
#define ERROR_KEY_DELETED 1018L
#endif

// Key and value names are compared without regard to case (Windows-1252) and
// keep the case they were created with. A sub-key path separates its names
// with '\'; each name is 1 to 255 characters. A null or empty value name is
// the key's default value. Every change is saved to the settings file before
// the call returns (outside a platform::RegistryBatch). A value written or deleted that cannot be saved stays
// changed in memory (registryWriteFailure says why) and the call returns
// ERROR_WRITE_FAULT; a key created
// that cannot be saved is still opened. A change that would make the file
// larger than it may be is refused instead: the call returns
// ERROR_WRITE_FAULT, and the registry in memory goes back to what the file
// holds, so that later changes are saved again.

LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM desired, PHKEY result);
LSTATUS RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM desired,
                        LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
LSTATUS RegCreateKeyA(HKEY key, LPCSTR subKey, PHKEY result);
// Closing the predefined root does nothing and succeeds.
LSTATUS RegCloseKey(HKEY key);
// With `data` null, only the type and the size (in *dataSize) are reported.
// A buffer smaller than the value gives ERROR_MORE_DATA with the size needed.
LSTATUS RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD dataSize);
// Stores exactly `dataSize` bytes (a REG_SZ caller includes its NUL).
LSTATUS RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize);
LSTATUS RegDeleteValueA(HKEY key, LPCSTR valueName);
// Deletes a sub-key that has no sub-keys of its own (ERROR_ACCESS_DENIED
// otherwise). Handles still open on it then fail with ERROR_KEY_DELETED.
LSTATUS RegDeleteKeyA(HKEY key, LPCSTR subKey);
// The sub-keys in the order of their upper-case names. `nameLength` holds the
// buffer size in characters and receives the name's length without the NUL;
// ERROR_MORE_DATA when the name does not fit, ERROR_NO_MORE_ITEMS past the end.
LSTATUS RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD reserved, LPSTR keyClass,
                      LPDWORD classLength, PFILETIME lastWriteTime);
// Counts and longest names of the key's sub-keys and values; any pointer may be null.
LSTATUS RegQueryInfoKeyA(HKEY key, LPSTR keyClass, LPDWORD classLength, LPDWORD reserved, LPDWORD subKeys,
                         LPDWORD maxSubKeyLength, LPDWORD maxClassLength, LPDWORD values, LPDWORD maxValueNameLength,
                         LPDWORD maxValueLength, LPDWORD securityDescriptor, PFILETIME lastWriteTime);

namespace platform {

// The settings file in use. By default $HV_REGISTRY_FILE when set, else
// "lanternfield/registry.txt" under $XDG_CONFIG_HOME (or ~/.config). Empty when
// no home folder can be found: the registry then lives in memory only.
std::string registryFile();

// Keeps `bytes` in a new file beside the settings file, named after it with
// "." and `suffix` (see RegistryFile::keepBeside): its path, or "" with the
// reason in `error` (also when there is no settings file).
std::string keepBesideSettings(const std::string& suffix, const std::string& bytes, std::string& error);

// Points the registry at another file (tests use a temporary one); null goes
// back to the default. The registry in memory and every open key handle are
// dropped, also when the file is the same one, and the next call reads the
// file again: this is how a test re-opens the store.
void setRegistryFile(const char* path);

// Empty when every change made has reached the settings file (or the
// settings live in memory only, as without a home folder or with anything
// but a regular file in the file's place); else what kept the last write from
// the disk, and why ("/x/registry.txt cannot be written (No space left on
// device)"), while that write's changes wait for the next one, or why a file
// that is there could not be read, which no change then reaches
// ("/x/registry.txt cannot be read (Permission denied)").
std::string registryWriteFailure();

// Holds the saving of the settings file back while it lives: the changes
// made meanwhile (on any thread) reach the file together, in one write when
// the outermost batch ends, so a crash leaves the file as it was before them
// or with all of them. Batches nest.
class RegistryBatch {
public:
    RegistryBatch();
    ~RegistryBatch();
    RegistryBatch(const RegistryBatch&) = delete;
    RegistryBatch& operator=(const RegistryBatch&) = delete;

    // Ends the batch before its scope does. The outermost batch returns the
    // error of its write, as a call outside a batch would (a write refused
    // as too large drops all the batch's changes); an inner batch, whose
    // changes wait for the outermost one, and one ended before succeed.
    LSTATUS end();

private:
    bool m_ended = false;
};

// Uses a settings file for the lifetime of a scope.
class ScopedRegistryFile {
public:
    explicit ScopedRegistryFile(const std::string& path) { setRegistryFile(path.c_str()); }
    ~ScopedRegistryFile() { setRegistryFile(nullptr); }
    ScopedRegistryFile(const ScopedRegistryFile&) = delete;
    ScopedRegistryFile& operator=(const ScopedRegistryFile&) = delete;
};

} // namespace platform
