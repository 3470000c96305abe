#pragma once

// Creates every long-lived window, in start-up order, main window first. A failure
// (missing data.mdb, wrong key) throws; what was created is freed again.
void createForms();
// Frees the windows again (end of the program, tests).
void destroyForms();
// The whole program after the application object exists: windows, main window
// shown, login, message loop. Returns the exit status; errors during start-up
// throw.
int runProgram();
// runProgram() with the start-up errors shown in the error box: exit status 1.
int startProgram();
