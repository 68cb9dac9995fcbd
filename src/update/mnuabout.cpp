#include "about/frmabout.h"
#include "app/frmzintra.h"

void frmzintra::mnuabout_Click() {
    frmabout& about = frmabout::Load();
    about.show();
    about.raise();
    about.activateWindow();
}
