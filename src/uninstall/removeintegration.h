// Removal of everything the setup wrote into the system.
#pragma once

// Gives the extensions back, unregisters the shell extension, deletes the shortcuts, the
// type classes, the registration entries and the saved settings.
void RemoveIntegration();
