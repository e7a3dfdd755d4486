#pragma once
// Where the program's later DLL loads may look. The program runs elevated from the medium's folder,
// which the loader searches first for a DLL that is not one of the system's known DLLs: a file
// named like a system DLL there would run with the administrator's rights.

// The search restricted to the system folder where the system can say so, then the preload below.
// Called first thing, before any window exists.
void LoadDllsFromTheSystemFolderOnly();

// What the system's own DLLs load by name on the program's behalf, loaded first from the system
// folder: a later load by that name takes the module already loaded, never a file beside the
// program. The only guard on systems without the restriction (98, ME, 2000, XP before SP1).
void PreloadDllsTheSystemLoadsByName();
