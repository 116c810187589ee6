// The module steps a test executable starts before its tests and shuts down
// after them, in program order: each layer's test folder defines it.
#pragma once

#include "platform/core/Modules.h"
#include <vector>

std::vector<TModuleStep> TestModules();

// Makes the process-wide objects that the layers under test make on first use
// and keep until shutdown (hidden windows, shared canvases, glyph caches).
// The test main calls it after the start-up and again before every test, so
// that the leak check (tests/support/LeakCheck.h) charges none of them to the
// test that happens to touch them first, nor to the test after one that shut
// a module down and started it again. Cheap when they exist; each layer's
// test folder defines it (empty where there is nothing to make).
void WarmUpTestCaches();
