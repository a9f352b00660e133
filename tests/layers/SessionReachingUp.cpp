// A source of the window's logic that includes a dialog, a folder above it:
// the layer check must refuse it.
#include "dialogs/LiveEditDialog.h"
