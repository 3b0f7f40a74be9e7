// The section [Rename] of wininit.ini, through which the 9x family deletes files at start-up.
#pragma once
#include <string>

// Adds the line "NUL=value" at the end of the section [Rename] of an ini text, creating the
// section when there is none. Every other line stays as it is. False, with the text
// unchanged, when the section already holds that line.
bool AddRenameLine(std::string& text, const char* value);
