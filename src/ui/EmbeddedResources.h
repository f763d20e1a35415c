// The images built into the executable (res/bmp/*.bmp and the application
// icon res/windows/gatehouse.ico, embedded at build time).
#pragma once

#include <cstddef>

namespace gh {

struct EmbeddedResource {
    const char* name;  // file name without extension, e.g. "PLAYU"
    const unsigned char* data;
    std::size_t size;
};

// The resource of that exact name, or null when the program has none.
const EmbeddedResource* FindEmbeddedResource(const char* name);

}  // namespace gh
