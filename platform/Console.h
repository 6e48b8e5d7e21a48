#pragma once

// The console of the command-line tools: whether a standard stream is an
// interactive terminal (GetConsoleMode succeeding on its handle), how wide
// the terminal is (GetConsoleScreenBufferInfo), and the interrupt keys
// (SetConsoleCtrlHandler), which a long run turns into a stop request so
// that it can clean up before it ends.

namespace quenlo::platform {

enum class StandardStream { Input, Output, Error };

// True when the stream is an interactive terminal, false for a file, a pipe
// or a closed stream.
bool IsTerminal(StandardStream stream);

// The width of the terminal on standard error in columns; 80 when it cannot
// be told.
int TerminalColumns();

// From this call on, Ctrl-C (and on Linux a hang-up or a polite termination
// request) no longer ends the process: each one is counted instead, and the
// work polls the count. Calling it again changes nothing.
void CatchInterrupts();

// Writing to a pipe whose reader has gone ("| head") fails from now on
// instead of ending the process, so a run goes on to its proper end and
// leaves nothing behind. (Windows never ends a process for that.)
void IgnoreClosedOutput();

// How many interrupts arrived since CatchInterrupts; safe from any thread.
int InterruptCount();

}  // namespace quenlo::platform
