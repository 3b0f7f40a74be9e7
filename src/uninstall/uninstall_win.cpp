// The uninstall driver.
#include <windows.h>

#include "uninstall/uninstall.h"

int UninstallMain() { return 0; }
