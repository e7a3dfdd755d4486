#include "app/instance_lock.h"

#include <string>

const char kInstanceMutexName[] = "Setup-Orlent-Driver-Installation-5B0E2C41";

CInstanceLock::CInstanceLock() {
    // "Global\" reaches every session (two administrators, or a service beside a user). Windows
    // 98, ME and NT 4.0 have no namespaces and refuse the backslash: there the plain name is
    // already machine-wide.
    const std::string names[] = {std::string("Global\\") + kInstanceMutexName, kInstanceMutexName};
    for (const std::string& name : names) {
        m_mutex.Reset(CreateMutexA(nullptr, TRUE, name.c_str()));
        if (!m_mutex) {
            continue;
        }
        // Opened rather than created: the initial ownership was not granted.
        m_state = GetLastError() == ERROR_ALREADY_EXISTS ? State::HeldElsewhere : State::Owned;
        return;
    }
    m_state = State::Failed;
}
