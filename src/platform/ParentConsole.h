// Text output of a windowed program that is run from a terminal.
//
// On Windows a program of the GUI subsystem (Gatehouse.exe, which a player
// double-clicks) starts without a console, so nothing it prints is seen,
// unless the shell redirected its output. Attaching to the console of the
// process that started it makes its output appear in that terminal; but the
// shell does not wait for a GUI program, so its prompt may come first, and
// it does not see the exit status (that is what gatehouse.com is for). A
// console program, and every program on Linux, has its streams already.
#pragma once

namespace gh::platform {

// Before the first text is printed: standard output and error that lead
// nowhere are connected to the console of the parent process, when it has
// one. Streams redirected to a file or a pipe stay as they are; a program
// that has a console keeps it. Only the first call acts; it is not called
// when nothing is printed, so a windowed run never joins the shell's console
// (where the shell's Ctrl+C would reach it). Does nothing on Linux.
void ReachParentConsole();

}  // namespace gh::platform
