#include "app/frmzintra.h"

void frmzintra::mnuabout_Click() {
    frmabout.Show();
}
