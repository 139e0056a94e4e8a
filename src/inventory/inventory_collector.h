// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <functional>

#include "inventory/image_inventory.h"
#include "platform/browser_pane.h"

namespace pagesift {

// Receives what collecting the pane's page gave.
using InventoryCallback = std::function<void(CollectedImages collected)>;

// Collects the inventory of the page shown in `pane`: the collecting script
// in its isolated world, then the images the engine requested that the
// document does not name. Asynchronous: `done` is called later, once, also
// when the page goes away first (with a failure), so it must guard whatever
// it refers to.
void collectImageInventory(BrowserPane& pane, InventoryCallback done);

// The collecting script's source (a resource of the program).
const QString& imageInventoryScript();

// What the script's value gives: its rows (mergeImageUses), or a failure
// when the value is not its text or names the error the script caught.
CollectedImages inventoryFromScriptResult(const QVariant& result);

// The rows of the script's JSON text: uses of the same address merged into
// one row, in order of first appearance. A row counts its uses and lists
// each kind and each origin once, in order of first use; each of its facts
// (natural size, displayed size, alt text, loaded) is the first one its
// uses report, in document order. Uses without a valid address are
// skipped, and anything else malformed counts as absent, so any text gives
// an inventory, an empty one at worst; but a use of a kind the script was
// not handed is the program's fault, given as the failure. A text that
// says the walk was cut short ("complete": false) gives the limits that did
// it in `cutShort`; one that names an error gives it as the failure.
CollectedImages mergeImageUses(const QByteArray& scriptJson);

// Adds a row of kind "request" for each requested address, without its
// fragment, that no row names (fragments aside), after the rows already
// there; a cut-short record says so in `cutShort`.
void addRequestedImages(CollectedImages& collected, const RequestedImages& requested);

}  // namespace pagesift
