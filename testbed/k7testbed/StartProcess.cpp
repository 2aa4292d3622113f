#include "k7testbed/StartProcess.h"

#include <cstdio>
#include <cwchar>

namespace k7testbed {

BOOL StartProcess(const wchar_t* application, wchar_t* commandLine, BOOL inheritHandles, DWORD flags,
                  STARTUPINFOW* startup, PROCESS_INFORMATION* info) {
    constexpr int kTries = 3;
    for (int attempt = 1;; ++attempt) {
        if (CreateProcessW(application, commandLine, nullptr, nullptr, inheritHandles, flags, nullptr, nullptr, startup,
                           info))
            return TRUE;
        const DWORD error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == kTries) {
            SetLastError(error);
            return FALSE;
        }
        std::fwprintf(stderr, L"k7testbed: the process of %ls was lost during its start (error %lu); started again\n",
                      commandLine != nullptr ? commandLine : application, error);
    }
}

}  // namespace k7testbed
