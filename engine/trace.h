#pragma once
// Diagnostic texts: formatted into a scratch text that a debugger can read; never shown, and
// stored only where an observer keeps them (the unattended run's log).

void Trace(const char* format, ...);

// Receives each formatted text; null for nobody.
using TraceObserver = void (*)(const char* text);
void SetTraceObserver(TraceObserver observer);
