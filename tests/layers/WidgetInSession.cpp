// A source of the window's logic that reaches for a widget: the layer check
// must refuse it.
#include "session/DesignSession.h"

#include <QWidget>
