#include "platform/core/Modules.h"
#include "platform/core/Exceptions.h"

#include <cwchar>
#include <exception>
#include <vector>

namespace {
// Steps are kept by value: the caller's list may be a temporary.
struct Started {
  TModuleStep Step;
};
std::vector<Started>& StartedSteps() {
  static std::vector<Started> steps;
  return steps;
}
TModuleStepObserver gObserver = nullptr;
bool IsStarted(const TModuleStep& step) {
  for (const Started& s : StartedSteps())
    if (std::wcscmp(s.Step.Name, step.Name) == 0) return true;
  return false;
}
}  // namespace

void InitializeModules(std::span<const TModuleStep> steps) {
  const size_t mark = StartedSteps().size();
  try {
    for (const TModuleStep& step : steps) {
      if (IsStarted(step)) continue;
      if (gObserver) gObserver(step, false);
      if (step.Initialize) step.Initialize();
      StartedSteps().push_back({step});
      if (gObserver) gObserver(step, true);
    }
  } catch (...) {
    // Undo this list's own steps so a failed start leaves nothing half set up.
    while (StartedSteps().size() > mark) {
      const TModuleStep s = StartedSteps().back().Step;
      StartedSteps().pop_back();
      try {
        if (s.Finalize) s.Finalize();
      } catch (...) {
      }
    }
    throw;
  }
}

void FinalizeModules() {
  std::exception_ptr first;
  while (!StartedSteps().empty()) {
    const TModuleStep s = StartedSteps().back().Step;
    StartedSteps().pop_back();
    try {
      if (s.Finalize) s.Finalize();
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  }
  if (first) std::rethrow_exception(first);
}

bool IsModuleInitialized(const Char* name) {
  for (const Started& s : StartedSteps())
    if (std::wcscmp(s.Step.Name, name) == 0) return true;
  return false;
}

void SetModuleStepObserver(TModuleStepObserver observer) { gObserver = observer; }
