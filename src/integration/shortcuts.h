// Desktop and Start-menu shortcuts and the program groups.
#pragma once
#include <cstddef>

#include "integration/installfile.h"
#include "setupui/options.h"

// programGroupPath: a buffer of IntegrationPathSize characters, or null. It receives the
// per-user group folder when the group option is on, and is left alone otherwise.
void UpdateShortcuts(const SetupOptions& options, char* programGroupPath);

// Writes one shortcut file; description may be null. True when the file was saved.
bool CreateShortcut(const char* target, const char* linkPath, const char* description);

// The user's desktop directory; false (and an empty buffer) when it cannot be determined.
bool GetDesktopFolder(char (&path)[IntegrationPathSize]);

// Deletes a folder with everything in it, for good. The buffer (size bytes) gets a second
// terminator behind the path. True when the shell reported success.
bool DeleteFolderTree(char* path, size_t size);
template <size_t N> bool DeleteFolderTree(char (&path)[N]) { return DeleteFolderTree(path, N); }
