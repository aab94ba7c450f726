// Modules.h: program modules and their resources. A module is either a module
// file on disk, read as data only for its resources, or a built-in module of
// this program registered by name, whose entry points are our own functions.
#pragma once

#include "platform/Win32Types.h"


namespace platform {

// Makes LoadLibraryA of any path whose file name is `name` (compared without
// regard to ASCII case, e.g. "d3d9.dll") give a built-in module whose
// GetProcAddress asks `resolve`. Registering a name again replaces its
// resolver. Built-in modules have no resources.
void registerBuiltinModule(const char* name, FARPROC (*resolve)(const char* procName));
// Removes the registration; handles to the module stop working (calls on them
// fail as on any bad handle) and LoadLibraryA of the name looks on disk again.
void unregisterBuiltinModule(const char* name);

} // namespace platform

// Loads a module. A built-in module of that file name comes first. Otherwise
// the file is found (a bare name through the search path: program directory,
// current directory, PATH) and read as data: a file that is not a complete,
// consistent module image gives null. Loading the same file again gives the
// same handle with one more load count.
HMODULE LoadLibraryA(LPCSTR fileName);
// Drops one load count; a module file is forgotten at 0. False for a bad handle.
BOOL FreeLibrary(HMODULE module);
// A built-in module's entry point by name; null for module files (their code
// is never run), unknown names and ordinals.
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);

// The program's own instance handle for a null name (a pseudo handle that only
// identifies the program); null for any other name.
HMODULE GetModuleHandleA(LPCSTR moduleName);
// The path of the program (null module or the program's instance), or of a
// loaded module file, in Windows form; a built-in module gives its registered
// name. Returns the length written without the NUL; when the buffer is too
// small the path is cut to size - 1 characters and a NUL, and size is
// returned. 0 for a bad handle or a size of 0.
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);

// Resources of a loaded module file: `name` and `type` are texts (compared
// without regard to case) or MAKEINTRESOURCEA ids. The first language found is
// used. A null module, the program's instance and built-in modules have no
// resources: null.
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
// The resource's data: a pointer into the loaded module, valid until it is
// freed; LockResource gives the same pointer.
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC resource);
// Nothing to free: resources live as long as their module. Returns FALSE.
BOOL FreeResource(HGLOBAL data);
