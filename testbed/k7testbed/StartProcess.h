// CreateProcessW as the tests use it: no security attributes, the caller's environment and
// folder.
#pragma once

#include <windows.h>

namespace k7testbed {

// Starts the process; once more (up to three tries) when Wine lost it during its start: a
// process that ends before its start-up is done makes CreateProcessW fail with
// ERROR_INTERNAL_ERROR, before any of the program's own code has run. Each such loss is
// written to stderr.
BOOL StartProcess(const wchar_t* application, wchar_t* commandLine, BOOL inheritHandles, DWORD flags,
                  STARTUPINFOW* startup, PROCESS_INFORMATION* info);

}  // namespace k7testbed
