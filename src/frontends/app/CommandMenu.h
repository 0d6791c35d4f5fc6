#pragma once

#include "boot/BootDiagnostics.h"

#include <functional>

class CommandGate;
class QMenu;
class TFlashWrRXCont;

// What a command item works on at the moment it is chosen: the current link controller (none
// between two updates) and the main window's settings.
struct CommandMenuTarget {
    TFlashWrRXCont* link = nullptr;
    BootDiagSettings settings;
};

// Fills the boot-mode command menu MnCmd with every item, caption and submenu, and connects
// each item to its handler. The window keeps the menu hidden; the items still work when
// triggered. Each command runs as one wait of `gate`.
void PopulateCommandMenu(QMenu* mnCmd, std::function<CommandMenuTarget()> current,
                         CommandGate& gate);
