// Where the terminal commands write: standard output for results, standard
// error for errors. An interface so that tests can record what a command
// printed without a child process.
#pragma once

#include <string>
#include <string_view>

namespace gh {

class IConsole {
public:
    virtual ~IConsole() = default;
    // Text for standard output, written in the terminal's encoding (UTF-8).
    virtual void Out(std::wstring_view text) = 0;
    // Bytes for standard output, written as they are (JSON is UTF-8).
    virtual void OutBytes(std::string_view bytes) = 0;
    // Text for standard error.
    virtual void Err(std::wstring_view text) = 0;
    // Whether standard output is a terminal, so that lines may be redrawn in place.
    virtual bool OutputIsTerminal() const = 0;
};

// The process's own standard output and error; every write is flushed, so
// that lines appear as they are printed also when the output is a pipe.
class CStandardConsole final : public IConsole {
public:
    void Out(std::wstring_view text) override;
    void OutBytes(std::string_view bytes) override;
    void Err(std::wstring_view text) override;
    bool OutputIsTerminal() const override;
};

}  // namespace gh
