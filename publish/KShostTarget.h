// Publishing into a folder on a host over SFTP, FTP with explicit TLS
// (ftps://) or plain FTP, through one libcurl handle whose connection serves
// every file of the publish.
//
// Each file is uploaded as ".NAME.kestrin-up" beside its place and renamed
// into place (FTP: RNFR/RNTO, which replaces on most servers; SFTP, and an
// FTP server that will not replace: the old file is removed first),
// missing folders are made. A
// killed publish's upload is overwritten by the next one that sends the file.
//
// Credentials: SSH through the agent (SSH_AUTH_SOCK) first, then the first
// of ~/.ssh/id_ed25519, id_ecdsa, id_rsa that exists; the host's key must be
// in ~/.ssh/known_hosts. FTP(S) takes its login from ~/.netrc. ftps:// checks
// the host's certificate (KESTRIN_CA_BUNDLE names another CA file).
#pragma once

#include "publish/KSpublishDestination.h"
#include "publish/KSpublishTarget.h"

#include <memory>

namespace ks {

// Nothing is connected until the first file is sent, checked or removed.
std::unique_ptr<TKSpublishTarget> OpenHostTarget(const TKSpublishDestination& destination);

} // namespace ks
