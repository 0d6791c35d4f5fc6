#pragma once

// Counts Ctrl+C (SIGINT) instead of ending the program, for a command that ends its work in
// stages: the first press stops new work, the second stops what runs. Read it from a timer.
void CountInterrupts();
int Interrupts();
