// Removal of everything that the setup wrote into the system.
#include "uninstall/removeintegration.h"

#include <windows.h>
#include <shlobj.h>

#include "integration/associations.h"
#include "integration/integration.h"
#include "integration/shellext.h"
#include "integration/shortcuts.h"
#include "registry/regaccess.h"

namespace {

// Deleted last, in this order. The empty path under HKEY_CURRENT_USER is the product's
// settings key itself.
struct RemovedKey {
    HKEY Root;
    const char* Path;
    bool WholeTree;
};

const RemovedKey RemovedKeys[] = {
    {HKEY_CLASSES_ROOT, "Kolvex", true},
    {HKEY_CLASSES_ROOT, "Kolvex.ZIP", true},
    {HKEY_CLASSES_ROOT, "Kolvex.REV", true},
    {HKEY_CLASSES_ROOT, ".rev", true},
    {HKEY_LOCAL_MACHINE, UninstallKey, false},
    {HKEY_LOCAL_MACHINE, AppPathKey, false},
    {HKEY_CURRENT_USER, "", true},
};

}  // namespace

// The setup's own steps, run with every option off, remove what they would create. The
// associations go first: they read their backups from the settings key, which goes last.
void RemoveIntegration() {
    SetupOptions cleared;
    AssociateExtensions(cleared);
    // SHCNF_FLUSH returns once the shell has taken the change in, before the classes go.
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH, nullptr, nullptr);
    SetShellExtensions(cleared);
    UpdateShortcuts(cleared, nullptr);
    for (const RemovedKey& key : RemovedKeys) {
        if (key.WholeTree) DeleteRegTree(key.Root, key.Path);
        else DeleteRegKey(key.Root, key.Path);
    }
}
