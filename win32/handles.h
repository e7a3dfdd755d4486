#pragma once
// Plain Win32, no window classes: every layer, the engine included, may use these.
// Sole owners of handles: each closes its handle exactly once, when it goes or is reset. They can
// be moved but not copied, so a handle can never be closed twice.
#include <windows.h>

#include <utility>

template <class Handle, class Closer> class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : m_handle(handle) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : m_handle(other.Release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Handle(); }

    void Reset(Handle handle = Handle()) {
        if (m_handle != Handle() && m_handle != handle) {
            Closer()(m_handle);
        }
        m_handle = handle;
    }
    Handle Release() { return std::exchange(m_handle, Handle()); }

private:
    Handle m_handle = Handle();
};

struct KernelHandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};

// A thread (or any kernel object) handle; null means none.
using CThreadHandle = ScopedHandle<HANDLE, KernelHandleCloser>;

struct FindCloser {
    void operator()(HANDLE search) const { ::FindClose(search); }
};

// Files and searches report failure as INVALID_HANDLE_VALUE, not null: their owners are given the
// handle through this, so that none is always null.
inline HANDLE NoneIfInvalid(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

using CFileHandle = ScopedHandle<HANDLE, KernelHandleCloser>;
using CFindHandle = ScopedHandle<HANDLE, FindCloser>;
