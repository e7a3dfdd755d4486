#pragma once
// One installation at a time across the whole machine: two copies staging into the same driver
// directory would rename each other's bytes into place, and two administrators may each start one.
#include <windows.h>

#include "win32/handles.h"

// The machine-wide name, without its namespace prefix; tests hold it to stand for a running copy.
extern const char kInstanceMutexName[];

// Holds the named mutex for its own lifetime (the process's, in the program).
class CInstanceLock {
public:
    enum class State {
        Owned,         // this copy is the only one
        HeldElsewhere, // another copy runs
        Failed,        // no mutex could be made at all; GetLastError tells why
    };

    CInstanceLock();
    CInstanceLock(const CInstanceLock&) = delete;
    CInstanceLock& operator=(const CInstanceLock&) = delete;

    State GetState() const { return m_state; }

private:
    CThreadHandle m_mutex;
    State m_state = State::Failed;
};
