// The launcher's entry point. The windowed launcher and the terminal
// commands are still being built; for now it tells what exists.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::puts("gatehouse 0.1.0");
        return 0;
    }
    std::puts("Usage: gatehouse [--help] [--version]\n"
              "The launcher's windows and its commands (list, sync, play) are not built yet.");
    return argc > 1 && std::strcmp(argv[1], "--help") != 0 ? 2 : 0;
}
