// The batch file that deletes the program file and the installation folder after the run.
#pragma once
#include <cstddef>
#include <string>

// Name of the batch file in the temporary folder.
inline constexpr char BatchFileName[] = "Uninstall_Kvx.Bat";

// The temporary folder (ending with a backslash) followed by the batch's name; false when
// the whole path does not fit.
bool FormBatchPath(char* batchPath, size_t size, const char* tempFolder);

// The whole batch text. It waits for the program to end, deletes the program file and the
// folder, warns when the program file is still there, and deletes itself.
std::string BuildRemovalBatch(bool ntFamily, const char* programPath, const char* folder,
                              const char* batchPath);

// Appends a path as the batch must contain it: every % doubled, since the command
// interpreter expands %...% in a batch file.
void AppendBatchPath(std::string& text, const char* path);

// "COMSPEC /c "batch"": the command line that runs the batch; false when it does not fit.
bool FormBatchCommandLine(char* commandLine, size_t size, const char* comspec, const char* batchPath);

// Writes the batch and starts it hidden, after moving the current directory out of the
// installation folder. The last step of the uninstall run.
void StartSelfRemoval(const char* programPath);
