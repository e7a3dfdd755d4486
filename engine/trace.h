#pragma once
// Diagnostic texts: formatted into a scratch text that a debugger can read; never shown, never
// stored.

void Trace(const char* format, ...);
