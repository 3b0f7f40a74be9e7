// The uninstall flow: integration removal, the listed files and the program itself.
#pragma once

// Removes Kolvex from the machine; the program's run without counting switches.
int UninstallMain();
