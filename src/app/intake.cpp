#include "app/frmzintra.h"

void frmzintra::takeCommandLine(const QString&) {}
