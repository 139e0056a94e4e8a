#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

#include "inventory/image_inventory.h"
#include "platform/browser_pane.h"

namespace pagesift {

// Receives the inventory of the pane's page, or nothing when there is no
// page or the script failed.
using InventoryCallback = std::function<void(std::optional<ImageInventory> inventory)>;

// Collects the inventory of the page shown in `pane`, in its isolated world.
// Asynchronous: `done` is called later, once, also when the page goes away
// first (with nothing), so it must guard whatever it refers to.
void collectImageInventory(BrowserPane& pane, InventoryCallback done);

// The collecting script's source (a resource of the program).
const QString& imageInventoryScript();

// The inventory from the script's value: nothing unless it is text.
std::optional<ImageInventory> inventoryFromScriptResult(const QVariant& result);

// The rows of the script's JSON text: uses of the same address merged into
// one row, in order of first appearance. A row counts its uses and lists
// each kind once, in order of first use; its origin and alt text are its
// first use's, its displayed size the first one known, its natural size the
// largest seen (by area), and it is loaded "yes" if any use says yes, else
// "no" if any says no, else unknown. Uses that are malformed (no valid
// address, an unknown kind) are skipped; anything else malformed counts as
// absent, so any text gives an inventory, an empty one at worst.
ImageInventory mergeImageUses(const QByteArray& scriptJson);

}  // namespace pagesift
