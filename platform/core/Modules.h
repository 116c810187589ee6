// Module start-up and shutdown. Every module with process-wide state has a
// start-up and a shutdown step; the program runs them from one explicit,
// ordered list (each module after the modules it uses), never from C++
// static initialisation. Shutdown runs in reverse order.
#pragma once

#include "platform/core/System.h"
#include <span>

struct TModuleStep {
  const Char* Name;
  void (*Initialize)();   // may be null
  void (*Finalize)();     // may be null
};

// Runs the start-up steps in order. Each step runs once however often its
// list is started (a counter per step guards it). When a step raises, the
// steps already started are shut down in reverse and the exception goes on.
void InitializeModules(std::span<const TModuleStep> steps);
// Runs the shutdown steps of every started module in reverse start-up order.
// A shutdown step that raises does not stop the steps after it; the first
// exception is re-raised once all have run.
void FinalizeModules();
// Whether a step with this name has been started and not yet shut down.
bool IsModuleInitialized(const Char* name);

// Called just before and just after each start-up step runs (not for steps
// already started); null, the default, for none. For a start-up profile.
using TModuleStepObserver = void (*)(const TModuleStep& step, bool finished);
void SetModuleStepObserver(TModuleStepObserver observer);

// The platform core's own steps, in order.
std::span<const TModuleStep> PlatformCoreModules();
