#pragma once
// The launcher's driver action: runs the installation wizard modally; its result is not used.
void RunDriverWizard();
