#include "platform/Library.h"
#include "platform/Text.h"
#include "platform/posix/PosixPath.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace gh::platform {

namespace {

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

Status CSharedLibrary::Open(const std::wstring& path) {
    Close();
    std::string native = posix::ResolvePath(path);
    // A name without a '/' would send dlopen to the search path instead.
    if (native.find('/') == std::string::npos) native = "./" + native;
    // The loader opens what it is given and would wait for ever on a pipe.
    if (!IsRegularFile(native)) return Status(StatusKind::WrongType, L"cannot load " + path + L": not a regular file");
    dlerror();  // forget an earlier failure, so the text below is this one's
    m_handle = dlopen(native.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_handle) return {};
    const char* text = dlerror();
    return Status(StatusKind::Failed, text ? SystemNarrowToWide(text) : L"cannot load " + path);
}

LibraryFunction CSharedLibrary::Find(const char* name) const {
    if (!m_handle || !name) return nullptr;
    void* symbol = dlsym(m_handle, name);
    // POSIX guarantees that a function's address survives the trip through void*.
    return reinterpret_cast<LibraryFunction>(symbol);
}

void CSharedLibrary::Close() {
    if (m_handle) dlclose(m_handle);
    m_handle = nullptr;
}

std::optional<std::wstring> FindLibraryOnSearchPath(const std::wstring& fileName) {
    const std::string name = WideToSystemName(fileName);
    if (name.empty() || name.find('/') != std::string::npos) return std::nullopt;
    std::vector<std::string> folders;
    if (const char* list = std::getenv("LD_LIBRARY_PATH")) {
        // The loader also accepts ';'. An empty entry would mean the current
        // folder, which is not a place a library should be taken from.
        std::string all = list;
        std::size_t pos = 0;
        while (pos <= all.size()) {
            std::size_t end = all.find_first_of(":;", pos);
            if (end == std::string::npos) end = all.size();
            if (end > pos) folders.push_back(all.substr(pos, end - pos));
            pos = end + 1;
        }
    }
    for (const char* standard : {"/lib/x86_64-linux-gnu", "/usr/lib/x86_64-linux-gnu", "/lib64", "/usr/lib64", "/lib",
                                 "/usr/lib", "/usr/local/lib"})
        folders.emplace_back(standard);
    for (const std::string& folder : folders) {
        const std::string candidate = folder.back() == '/' ? folder + name : folder + "/" + name;
        if (IsRegularFile(candidate)) return SystemNameToWide(candidate);
    }
    return std::nullopt;
}

}  // namespace gh::platform
