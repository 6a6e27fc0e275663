// The rules about links and web addresses that both the import and the build
// follow: whether a link is an http(s) address, whether a link from another
// person's tree is safe to write as a link, whether an address can be where a
// folder is published. Joining paths and addresses is the builder's business.
#pragma once

#include <cstddef>
#include <string_view>

namespace ks {

// The length of "http://" or "https://" (the scheme in any letter case) at
// the start of text, else 0.
std::size_t WebSchemeLength(std::string_view text);

// Whether link is an absolute http: or https: address ("http://...", the
// scheme in any letter case): it leads to the same place from every page.
bool IsWebLink(std::string_view link);

// Whether a colon comes before any "/", "?" or "#": the link names a scheme
// (or a drive) and is no relative path. A cautious reading, so that "1:2" or
// "a_b:c" count as well, which a browser would take for paths.
bool NamesScheme(std::string_view link);

// Whether address can be where a document's folder is published: "http://"
// or "https://", an optional user, a host (a DNS name, an IPv4 address or an
// IPv6 address in brackets), an optional port of 1 to 65535, an optional path,
// and nothing a page could not hold as it stands: no blank, quote, "<", ">",
// backslash, control byte or byte outside ASCII (%XX holds those), and no
// "?" or "#", as it names a folder.
bool IsGoodWebAddress(std::string_view address);

// Whether a link, as it will stand in the page, may be written as a link (an
// href, the value of a page choice, a link of the search data). Index
// documents come from other people's trees, so only what cannot run a
// script or leave the trees' folders by itself is: a relative path, or an
// http: or https: address. It is read the way a browser reads it: leading
// blanks are passed over and the scheme is compared without regard to case.
// Refused: a control byte anywhere (a browser drops some of them, so they
// could hide a scheme), any other scheme (javascript:, data:, vbscript:,
// file:, ...), and a start of two slashes or backslashes (another host,
// which the relative links never lead to). Anything refused is shown as
// plain text.
bool IsSafeLink(std::string_view link);

// Whether host is a name set aside for examples and tests, which leads to
// no one's pages: example.org, example.com, example.net or a name below one
// of them, or a name in the top-level domains test, invalid and example.
// Letter case and a closing "." do not matter.
bool IsExampleHost(std::string_view host);

// The host of an http(s) address or link pattern ("https://user@host:80/p"
// gives "host"); "" when text is no http(s) address.
std::string_view WebHost(std::string_view text);

// Whether text is an http(s) address (or a link pattern) on such a host: a
// placeholder that was never replaced by the real address.
bool IsExampleAddress(std::string_view text);

} // namespace ks
