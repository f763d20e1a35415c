// Libraries loaded at run time: opening one by its absolute path, looking
// up what it exports, and finding one on the system's search path.
#pragma once

#include "platform/Status.h"

#include <optional>
#include <string>

namespace gh::platform {

// An exported function, to be cast to its real type by the caller (casting
// between function pointer types is well defined; calling through the
// wrong type is not).
using LibraryFunction = void (*)();

// One loaded library. Closing it (or destroying the object) unloads it when
// no other handle to the same library is open.
class CSharedLibrary {
public:
    CSharedLibrary() = default;
    ~CSharedLibrary();
    CSharedLibrary(const CSharedLibrary&) = delete;
    CSharedLibrary& operator=(const CSharedLibrary&) = delete;
    CSharedLibrary(CSharedLibrary&& other) noexcept;
    CSharedLibrary& operator=(CSharedLibrary&& other) noexcept;

    // Loads the library at `path`, which should be absolute (the system's
    // search rules are not applied to it). Windows: LoadLibraryExW with
    // LOAD_WITH_ALTERED_SEARCH_PATH, so the library's own dependencies are
    // looked for in its folder first. Linux: dlopen with RTLD_NOW |
    // RTLD_LOCAL. On failure the status holds the system's text (which
    // names the reason: missing file, wrong architecture, missing
    // dependency); a library open before is closed either way.
    Status Open(const std::wstring& path);
    bool IsOpen() const { return m_handle != nullptr; }
    // The exported function or variable named `name`, or null when the
    // library does not export it (or is not open).
    LibraryFunction Find(const char* name) const;
    void Close();
    // Forgets the library without unloading it: it stays loaded until the
    // process ends (for a library whose own threads may still run).
    void KeepLoaded() { m_handle = nullptr; }

private:
    void* m_handle = nullptr;
};

// The full path of the library file `fileName` as the system would find it
// by name, or none. Windows: SearchPathW with the process's search order
// (the program's folder, the current folder, the system folders, PATH).
// Linux: the folders of LD_LIBRARY_PATH in order, then the standard library
// folders (/lib, /usr/lib and their x86_64-linux-gnu and lib64 forms,
// /usr/local/lib); only regular files count.
std::optional<std::wstring> FindLibraryOnSearchPath(const std::wstring& fileName);

}  // namespace gh::platform
