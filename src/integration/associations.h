// Points the archive extensions at Kolvex's type classes and gives them back to their
// previous owners, from a backup kept under the settings key.
#pragma once
#include "setupui/options.h"

void AssociateExtensions(const SetupOptions& options);
void SetExtensionAssociation(const char* ext, bool associate, bool shellNew, bool isKvx, bool isZip);
bool IsOurExtension(const char* ext);
