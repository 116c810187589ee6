// Start-up figures for the benchmark tool. When the environment variable
// LANZE_STARTUP_REPORT names a file, the program writes into it, at the first
// idle moment of its message loop (the main window shown and painted), the
// application's title and main window caption, the time since the process
// was created, its memory, and the windows, GDI objects and image lists it
// holds then: "key=value" lines in UTF-8. Without the variable nothing happens.
#pragma once

// Call after the modules started and before Application->Run.
void ArmStartupReport();
