// The combined index exported for others, written beside the pages when the
// run asks for it: "gendex.txt", one line per person and tree for the name
// networks that collect such files, and "sitemap.xml", every page of the
// site for search engines (only when the site's own address is known).
//
// gendex.txt is UTF-8 without a byte-order mark, one line per person and
// tree ending in a line feed, in the order of the index:
//   page|SURNAME|given names /prefix SURNAME/|birth|birth place|death|death place|
// The years of the index stand as the dates; places are empty. The page is
// an absolute address when one can be made (see AbsoluteTreeLink), else the
// link relative to the output folder.
//
// sitemap.xml lists at most kSitemapMaxUrls addresses in at most
// kSitemapMaxBytes bytes. A larger site gets "sitemap-1.xml",
// "sitemap-2.xml", ... and sitemap.xml becomes the index of those files.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ks {

struct TKSrunView;
class TKSdocumentLinker;
struct TKSrunDocument;
struct TKSrunSettings;

extern const char* const kGendexName;
extern const char* const kSitemapName;
constexpr std::size_t kSitemapMaxUrls = 50000;
constexpr std::size_t kSitemapMaxBytes = 52428800;

// Why address cannot be the site's address ("" when it can): it must be an
// http: or https: address with a host, and hold only printable ASCII without
// blanks, quotes, "<", ">", "\", "#" or "?".
std::string CheckSiteAddress(std::string_view address);
// A checked address with "/" at the end, as links are joined to it.
std::string SiteAddressBase(std::string_view address);

// The address of a link of document (as the document holds it) when an
// absolute one can be made: the link itself when it is an http: or https:
// address, else the link joined to the tree's own web address when it has
// one, else, when the run knows the site's address, the link as seen
// from the output folder joined to that address. "" when none can be made
// (no site address, or a link that climbs above the site's host). The one
// place where a tree's links become addresses. linker: the document's links
// as seen from the output folder, when the caller has one at hand (it saves
// working out the document's folder for every link).
std::string AbsoluteTreeLink(const TKSrunSettings& settings, const TKSrunDocument& document,
                             std::string_view link, const TKSdocumentLinker* linker = nullptr);

// The names (relative to the output folder) of the files the export of a
// run writes, given the paths of every file the run writes in the output
// folder; none when the run exports nothing.
std::vector<std::string> ExportNames(const TKSrunSettings& settings,
                                     const std::vector<std::string>& files);
// Whether name (relative to the output folder) is one an export writes, so
// that an earlier run's export is cleared like its other results.
bool IsExportName(const std::string& name);

// Writes the export files into writeRoot (the folder the run writes the
// output folder's files into) and returns their names, as ExportNames
// gives them. files: every file the run writes, by its path in the output
// folder; date: the day of the run, "YYYY-MM-DD". Raises EKSError when a
// layout entry already wrote a file of that name, and EWriteError when one
// cannot be written.
std::vector<std::string> WriteExports(const TKSrunView& run, const std::string& writeRoot,
                                      const std::vector<std::string>& files,
                                      const std::string& date);

} // namespace ks
