#include "app/frmzintra.h"

void frmzintra::mnuupdate_Click() {}
