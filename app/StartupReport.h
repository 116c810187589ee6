// Start-up figures for the benchmark tool. When the environment variable
// LANZE_STARTUP_REPORT names a file, the program writes into it, at the first
// idle moment of its message loop (the main window shown and painted), the
// application's title and main window caption, the time since the process
// was created, its memory, and the windows, GDI objects and image lists it
// holds then: "key=value" lines in UTF-8. Without the variable nothing happens.
//
// When LANZE_STARTUP_PROFILE names a file, the program also writes there, at the
// same moment, one line per start-up stage: its name, the milliseconds since the
// process was created when it ended, the milliseconds it took, and the working
// set after it. The stages are the module steps and the marks
// the program block sets.
#pragma once

// Call first of all, before the modules start: the module steps are stages.
void StartStartupProfile();
// Ends a stage of the profile (nothing without the variable).
void StartupProfileMark(const char* stage);
// Call after the modules started and before Application->Run.
void ArmStartupReport();
