#include "app/frmzintra.h"

void frmzintra::Image1_Click() {}
void frmzintra::Image2_Click() {}
void frmzintra::browsefolder() {}
void frmzintra::selectdest() {}
