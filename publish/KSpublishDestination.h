// Where a site is published to, as the user gave it: a folder on this
// computer (a plain path or a file:// address), or a folder on a host reached
// by sftp://, ftps:// (FTP with explicit TLS) or ftp://.
#pragma once

#include <string>

namespace ks {

enum class TKSdestinationKind { Folder, Sftp, Ftps, Ftp };

struct TKSpublishDestination {
    std::string Given;  // as typed: the key of its manifest
    std::string Folder; // the folder on this computer (Folder only)
    TKSdestinationKind Kind = TKSdestinationKind::Folder;
    // A host's address, split (not for Folder). Path is as typed, still
    // percent-encoded, without its trailing "/"; it starts with "/".
    std::string User; // "" when none is given
    std::string Host; // a name, an IPv4 address or "[IPv6]"
    int Port = 0;     // 0: the protocol's own
    std::string Path;
};

// Raises EKSError naming the destination when it is no folder or host
// address this program can publish to, and when it holds a password.
TKSpublishDestination ParseDestination(const std::string& given);

} // namespace ks
