#include "app/frmzintra.h"

void frmzintra::mnucont_Click() {}
void frmzintra::probeContextMenu(bool) {}
