// Paths of the product's files, which all lie in the installation folder beside this program.
#pragma once
#include <cstddef>

// Size of every path buffer of the integration code.
constexpr size_t IntegrationPathSize = 1024;

// The running program's own path with its file name replaced by fileName. False (and an
// empty buffer) when the program's path or the result does not fit.
bool InstallFolderFile(char (&path)[IntegrationPathSize], const char* fileName);

// The running program's own full path; false (and an empty buffer) when it does not fit.
bool ProgramFilePath(char (&path)[IntegrationPathSize]);
