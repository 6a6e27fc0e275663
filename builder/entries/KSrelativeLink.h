// Links from a page of the combined index to the pages of the published
// trees, written relative to the page so that the whole set of folders can be
// moved or served as it stands.
#pragma once

// IsWebLink, IsGoodWebAddress and IsSafeLink, which the writers use beside
// the joining here.
#include "common/KSwebLink.h"

#include <string>
#include <string_view>

namespace ks {

// The path of target relative to the folder of fromFile: common leading
// folders dropped, ".." for every folder of fromFile left over. Both paths
// are taken as absolute (relative ones from the current folder) and "." and
// ".." in them are resolved by name, as a browser does. A "#" part of target
// is kept as it stands; backslashes in target's path read as "/".
std::string RelativeLink(const std::string& fromFile, const std::string& target);
// A link of an index document (relative to the document's folder) as seen
// from fromFile. When the document's folder is published at webAddress (see
// IsGoodWebAddress), the link is that address joined with it instead. A link
// that is an http: or https: address (IsWebLink) is kept as it stands.
std::string DocumentLink(const std::string& fromFile, const std::string& documentFile,
                         const std::string& link, const std::string& webAddress = {});

// The address of a folder: address with "/" at its end.
std::string WebFolder(std::string_view address);
// link resolved against the folder address folder (a WebFolder) the way a
// browser resolves a relative link: "." and ".." by name, never above the
// host, a "?" or "#" part kept as it stands. As on disk, backslashes read as
// "/" and a leading "/" stays inside the folder, so that a link of a tree
// never leads to another host.
std::string JoinWebAddress(std::string_view folder, std::string_view link);

// DocumentLink for many links of one document from one file: the part the
// document's folder gives is worked out once, so a plain link ("p7.htm#i9",
// "sub/p.htm") costs no more than copying it.
class TKSdocumentLinker {
public:
    TKSdocumentLinker(const std::string& fromFile, const std::string& documentFile,
                      const std::string& webAddress = {});
    // DocumentLink(fromFile, documentFile, link, webAddress).
    std::string Link(std::string_view link) const;
    // Link(link), appended to out.
    void AppendLink(std::string& out, std::string_view link) const;

private:
    std::string fromFile_;
    std::string documentFile_;
    std::string webAddress_;
    bool folderPlain_ = false; // the document's folder holds no "#"
    std::string folderLink_; // the document's folder from fromFile ("" for its own) or its address
};

} // namespace ks
