#include "engine/trace.h"

#include <cstdarg>
#include <cstdio>

// Only the one install worker writes it. A thread_local text would take the runtime's lock on its
// first use, and that lock excludes nobody on Windows 98 and ME (their CreateSemaphoreW is a stub).
char g_traceText[1024];

namespace {

TraceObserver g_traceObserver = nullptr;

} // namespace

void SetTraceObserver(TraceObserver observer) {
    g_traceObserver = observer;
}

void Trace(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vsnprintf(g_traceText, sizeof(g_traceText), format, args);
    va_end(args);
    if (g_traceObserver) {
        g_traceObserver(g_traceText);
    }
}
