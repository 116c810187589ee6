// The main of every test executable.
#include "platform/WinApi.h"

#include "tests/support/TestModules.h"

#include <gtest/gtest.h>
#include <cstdio>

int main(int argc, char** argv)
{
    // A crash must end the test process with a failure code, not wait for someone to
    // dismiss Wine's crash dialog (the run would hang until its timeout).
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);

    testing::InitGoogleTest(&argc, argv);

    // Tests see the process as the program sees it: every module of the layers
    // under test started in program order, and shut down afterwards.
    const std::vector<TModuleStep> modules = TestModules();
    InitializeModules(modules);
    const int result = RUN_ALL_TESTS();
    try {
        FinalizeModules();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "module shutdown failed: %s\n", e.what());
        return 1;
    }
    return result;
}
