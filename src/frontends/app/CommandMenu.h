#pragma once

#include "boot/BootDiagnostics.h"

#include <functional>

class QMenu;

// A diagnostic item's handler, as BootDiagMenu lists it.
using BootDiagHandler = int (BootDiagnostics::*)();

// Fills the boot-mode command menu MnCmd with every item, caption and submenu. An item with a
// handler hands it to `run` when it is triggered, which runs it on the device. The window keeps
// the menu hidden; the items still work when triggered.
void PopulateCommandMenu(QMenu* mnCmd, std::function<void(BootDiagHandler)> run);
