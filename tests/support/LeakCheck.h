// Every test is checked for what it leaves behind: the shared test main counts
// the windows of the test's thread and, in the executables that link the GUI
// layer, the live GDI objects by kind and the live image lists, before and
// after each test, and fails the test that ends with more than it started with.
#pragma once

// Called in a test that keeps something past its end on purpose: the leak check
// lets that one test keep what it made and prints the reason with what was kept.
// Prefer freeing what the test made, and making a process-wide object that
// is made on first use in the layer's WarmUpTestCaches
// (tests/<layer>/TestModules.cpp), to this.
void KeepsResourcesOnPurpose(const char* reason);
