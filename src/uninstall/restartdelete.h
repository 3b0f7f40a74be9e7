// Deletion of a file at the next start of Windows.
#pragma once

// NT family: recorded by the system; 9x family: a line of its own in wininit.ini.
void ScheduleDeleteAtRestart(const char* path);
