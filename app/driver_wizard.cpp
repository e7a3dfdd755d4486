#include "app/driver_wizard.h"

#include "wizard/install_dlg.h"

void RunDriverWizard() {
    CDlgInstall wizard;
    wizard.DoModal();
}
