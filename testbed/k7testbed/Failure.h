// How the test bed's functions record why they failed (read back with KeyboardError).
#pragma once

namespace k7testbed {

// Records "`what` failed (error N)" with GetLastError() and returns false.
bool Fail(const char* what);

}  // namespace k7testbed
