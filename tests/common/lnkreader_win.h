// Reads shortcut files with lnkinfo, a Unix tool outside Wine, so that what the shell link
// object wrote is not checked by the same object.
#pragma once
#include <map>
#include <string>

namespace testenv {

// The Unix path (UTF-8) of a Windows path in the ANSI code page; empty when Wine cannot map it.
std::string UnixPath(const std::string& windowsPath);

// lnkinfo's report on one link file; false when the tool gave no report within the time.
bool DescribeLink(const std::string& linkPath, std::string* report);

// The report's "Name<tab>: value" lines, keyed by name (the first occurrence of each).
std::map<std::string, std::string> LinkFields(const std::string& report);

}  // namespace testenv
