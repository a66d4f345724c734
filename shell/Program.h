// The program from start-up to exit.
#pragma once

// Starts the program and runs its message loop until it ends; gives the exit code: 0 after a
// normal end, 1 at once when the main window's class or the main window cannot be made.
int RunProgram();
