#pragma once

// Counts the requests to stop (Ctrl+C, SIGINT, SIGTERM; on Windows also Ctrl+Break, the console
// being closed and WM_CLOSE to the main thread) instead of ending the program at once, for a
// command that ends its work in stages and leaves its record: Ctrl+C counts one, the others two
// (stop everything). Read it from a timer.
void CountInterrupts();
int Interrupts();
// The command has written what it must: a console being closed may take the program now.
void InterruptsHandled();
