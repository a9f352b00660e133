#pragma once

#include "session/SchematicLayout.h"

namespace kv {

// Opens the dialog that edits a block of a band, modally; true when the
// user closed it with OK.
class IBlockDialogs {
public:
    virtual ~IBlockDialogs() = default;
    virtual bool OpenBlockDialog(BlockKind kind, int band) = 0;
};

} // namespace kv
