// The process-wide objects, built in a fixed order before WinMain runs.
#include <windows.h>

#include "localization/langres.h"
#include "localization/messages.h"
#include "support/errorstate.h"
#include "support/pathutil.h"
#include "support/platform.h"

namespace {
// The lead-byte table must be ready before anything walks a path, so it is filled first.
struct LeadByteTableFiller {
    LeadByteTableFiller() { FillLeadByteTable(LeadBytes); }
};
LeadByteTableFiller FillLeadBytes __attribute__((init_priority(101)));
}  // namespace

ErrorState Errors __attribute__((init_priority(102)));
// Destroyed in reverse: the translation table first, then the resource library.
ExtResource ResourceLibrary __attribute__((init_priority(103)));
LanguageResources Language __attribute__((init_priority(104)));
