// The Windows calls that change files, each behind the fault-injection seam
// (FaultInjection.h): a planned failure returns as the system call would,
// with the last error ERROR_WRITE_FAULT, and the call is not made.
#pragma once

#include "platform/FaultInjection.h"

#include <windows.h>

namespace gh::platform::win32 {

inline bool Injected(FileOperation operation) {
    if (!InjectedFailure(operation)) return false;
    SetLastError(ERROR_WRITE_FAULT);
    return true;
}

// Creates a file that does not exist yet, for writing.
inline HANDLE CreateNewFile(const wchar_t* path, DWORD access, DWORD share) {
    if (Injected(FileOperation::OpenForWrite)) return INVALID_HANDLE_VALUE;
    return CreateFileW(path, access, share, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
}

inline BOOL WriteSome(HANDLE file, const void* data, DWORD size, DWORD* written) {
    *written = 0;
    return Injected(FileOperation::Write) ? FALSE : WriteFile(file, data, size, written, nullptr);
}

inline BOOL FlushFile(HANDLE file) { return Injected(FileOperation::Flush) ? FALSE : FlushFileBuffers(file); }

inline BOOL MoveReplacing(const wchar_t* from, const wchar_t* to) {
    if (Injected(FileOperation::Rename)) return FALSE;
    return MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

inline BOOL LinkFile(const wchar_t* from, const wchar_t* to) {
    return Injected(FileOperation::Link) ? FALSE : CreateHardLinkW(to, from, nullptr);
}

// Moves a file to a name that is free; refuses to replace one.
inline BOOL MoveToNewName(const wchar_t* from, const wchar_t* to) {
    if (Injected(FileOperation::Link)) return FALSE;
    return MoveFileExW(from, to, MOVEFILE_WRITE_THROUGH);
}

inline BOOL MakeFolder(const wchar_t* path) {
    return Injected(FileOperation::CreateFolder) ? FALSE : CreateDirectoryW(path, nullptr);
}

}  // namespace gh::platform::win32
