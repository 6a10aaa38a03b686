#pragma once
// The three groups of action controls the table can show at once.

namespace client {

enum class ActionMode {
    Idle,          // no action control on screen
    CardChanging,  // only Done
    Betting,       // Pass, Call, Raise and the raise amount
};

}  // namespace client
