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
// What is written to standard output is checked: a command whose output
// did not reach it has failed, whatever it did besides.
class CStandardConsole final : public IConsole {
public:
    // `outputClosed`: standard output was closed when the program started
    // (platform::PrepareStandardStreams), so what is written to it reaches
    // no one.
    explicit CStandardConsole(bool outputClosed = false);

    void Out(std::wstring_view text) override;
    void OutBytes(std::string_view bytes) override;
    void Err(std::wstring_view text) override;
    bool OutputIsTerminal() const override;

    // Ends the output once the command is done and returns the exit status
    // that the command's `status` becomes. Standard output is closed. When
    // something written to it did not reach it (a full disk, a closed
    // stream), standard error says so, as far as it still works ("gatehouse:
    // could not write the output: " and the reason), and the status is 1,
    // or the command's own when it failed already. After a broken pipe the
    // process ends quietly: on POSIX at the write, by SIGPIPE; on Windows
    // here, with status 1.
    int Finish(int status);

private:
    void Output(std::string_view bytes);
    void Lose(std::wstring reason, bool brokenPipe);

    bool m_outputClosed;
    bool m_wrote = false;       // something was written to standard output
    bool m_lost = false;        // and some of it did not reach it
    bool m_brokenPipe = false;  // because its reader was gone
    std::wstring m_reason;
};

}  // namespace gh
