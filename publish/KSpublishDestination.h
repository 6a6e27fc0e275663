// Where a site is published to, as the user gave it: a folder on this
// computer (a plain path or a file:// address). Remote kinds are refused by
// name until they are built.
#pragma once

#include <string>

namespace ks {

struct TKSpublishDestination {
    std::string Given;  // as typed: the key of its manifest
    std::string Folder; // the folder on this computer
};

// Raises EKSError naming the destination when it is no folder address this
// program can publish to.
TKSpublishDestination ParseDestination(const std::string& given);

} // namespace ks
