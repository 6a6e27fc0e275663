// Checks the links of a generated site without a browser: every href and
// src of every HTML page in the given folders (and the page values of the
// key menus) must name an existing file, and every fragment an id or a name
// in that file. Links with a scheme (http:, mailto:, ...) are not followed.
//
//   check-links [--persons] FOLDER...
//
// --persons: the links of the combined index (class "IdxR") must also reach
// the right person: the element they point to must hold the entry's given
// names and surname (letters and digits compared, accents left out), as the
// person pages of the sample trees do.
//
// Prints one line per broken link and a summary; exits 1 when a link is
// broken or no page was found.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Attribute {
    std::string name, value;
};

struct Tag {
    std::string name;
    std::vector<Attribute> attributes;

    const std::string* Find(const std::string& wanted) const {
        for (const Attribute& a : attributes)
            if (a.name == wanted) return &a.value;
        return nullptr;
    }
};

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == ':';
}

// The few character references that occur in attribute values.
std::string DecodeEntities(const std::string& text) {
    static const std::map<std::string, std::string> named = {
        {"amp", "&"}, {"quot", "\""}, {"lt", "<"}, {"gt", ">"}, {"apos", "'"}};
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t semi = text.find(';', i);
        if (text[i] != '&' || semi == std::string::npos || semi - i > 10) {
            out += text[i];
            continue;
        }
        const std::string body = text.substr(i + 1, semi - i - 1);
        if (auto it = named.find(body); it != named.end()) {
            out += it->second;
            i = semi;
        } else if (body.size() > 1 && body[0] == '#') {
            const bool hex = body[1] == 'x' || body[1] == 'X';
            const long code = std::strtol(body.c_str() + (hex ? 2 : 1), nullptr, hex ? 16 : 10);
            out += code > 0 && code < 256 ? static_cast<char>(code) : '?';
            i = semi;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string DecodePercent(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() &&
            std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// All start tags of a page with their attributes; comments, scripts and
// styles are stepped over.
std::vector<Tag> ReadTags(const std::string& html) {
    std::vector<Tag> tags;
    std::size_t i = 0;
    while ((i = html.find('<', i)) != std::string::npos) {
        if (html.compare(i, 4, "<!--") == 0) {
            const std::size_t end = html.find("-->", i + 4);
            i = end == std::string::npos ? html.size() : end + 3;
            continue;
        }
        ++i;
        if (i >= html.size() || !std::isalpha(static_cast<unsigned char>(html[i]))) continue;
        Tag tag;
        while (i < html.size() && IsNameChar(html[i]))
            tag.name += static_cast<char>(std::tolower(static_cast<unsigned char>(html[i++])));
        while (i < html.size() && html[i] != '>') {
            if (std::isspace(static_cast<unsigned char>(html[i])) || html[i] == '/') {
                ++i;
                continue;
            }
            Attribute a;
            while (i < html.size() && IsNameChar(html[i]))
                a.name += static_cast<char>(std::tolower(static_cast<unsigned char>(html[i++])));
            if (a.name.empty()) {
                ++i; // a stray character
                continue;
            }
            if (i < html.size() && html[i] == '=') {
                ++i;
                if (i < html.size() && (html[i] == '"' || html[i] == '\'')) {
                    const char quote = html[i++];
                    const std::size_t end = html.find(quote, i);
                    const std::size_t stop = end == std::string::npos ? html.size() : end;
                    a.value = html.substr(i, stop - i);
                    i = stop + 1;
                } else {
                    while (i < html.size() && !std::isspace(static_cast<unsigned char>(html[i])) &&
                           html[i] != '>')
                        a.value += html[i++];
                }
            }
            a.value = DecodeEntities(a.value);
            tag.attributes.push_back(std::move(a));
        }
        if (tag.name == "script" || tag.name == "style") {
            const std::size_t end = html.find("</" + tag.name, i);
            tags.push_back(std::move(tag));
            i = end == std::string::npos ? html.size() : end;
            continue;
        }
        tags.push_back(std::move(tag));
    }
    return tags;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool IsPage(const fs::path& path) {
    const std::string ext = Lower(path.extension().string());
    return ext == ".htm" || ext == ".html";
}

bool HasScheme(const std::string& link) {
    const std::size_t colon = link.find(':');
    if (colon == std::string::npos || colon == 0) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = link[i];
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return std::isalpha(static_cast<unsigned char>(link[0]));
}

// Letters and digits only, lower case; bytes of accented letters and
// character references are dropped, so "Ren&eacute;" and "René" compare
// alike whatever the page's encoding.
std::string Skeleton(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '&') {
            const std::size_t semi = text.find(';', i);
            if (semi != std::string::npos && semi - i <= 10) {
                i = semi;
                continue;
            }
        }
        if (c < 128 && std::isalnum(c)) out += static_cast<char>(std::tolower(c));
    }
    return out;
}

// The text after the first occurrence of start, up to the next "<".
std::string TextAfter(const std::string& line, const std::string& start) {
    const std::size_t at = line.find(start);
    if (at == std::string::npos) return "";
    const std::size_t from = line.find('>', at + start.size() - 1) + 1;
    return line.substr(from, line.find('<', from) - from);
}

// Text of the element with the given id: from its tag to the end of the
// enclosing block, tags removed.
std::string ElementText(const std::string& html, const std::string& id) {
    std::size_t at = html.find("id=\"" + id + "\"");
    if (at == std::string::npos) at = html.find("name=\"" + id + "\"");
    if (at == std::string::npos) return "";
    std::string text;
    bool inTag = true;
    for (std::size_t i = at; i < html.size() && i < at + 600; ++i) {
        if (html.compare(i, 2, "</") == 0 &&
            (html.compare(i, 10, "</article>") == 0 || html.compare(i, 5, "</li>") == 0 ||
             html.compare(i, 4, "</p>") == 0))
            break;
        if (html[i] == '<')
            inTag = true;
        else if (html[i] == '>')
            inTag = false;
        else if (!inTag)
            text += html[i];
    }
    return text;
}

class LinkChecker {
public:
    // Checks one page; returns the number of links it holds.
    int CheckPage(const fs::path& page) {
        int count = 0;
        for (const Tag& tag : Tags(page)) {
            for (const Attribute& a : tag.attributes) {
                const bool menuValue =
                    tag.name == "option" && a.name == "value" && a.value != "none";
                if (a.name != "href" && a.name != "src" && a.name != "action" && !menuValue)
                    continue;
                if (tag.name == "base") continue;
                ++count;
                CheckLink(page, tag.name, a.value);
            }
        }
        return count;
    }

    // The entry lines of the combined index (one per line, as the index
    // writer puts them): each numbered link must reach that person.
    int CheckPersons(const fs::path& page) {
        std::istringstream lines(ReadFile(page));
        std::string line, surname;
        int count = 0;
        while (std::getline(lines, line)) {
            // The section of persons without a surname: its heading is no surname.
            if (line.find("<span class=\"Idx1 KSVInoSurname\">") != std::string::npos) {
                surname = "?";
                continue;
            }
            if (line.find("<span class=\"Idx1\">") != std::string::npos) {
                surname = TextAfter(line, "<span class=\"Idx1\">");
                surname = surname.substr(0, surname.find(", "));
                continue;
            }
            if (line.find("<span class=\"VN\"") == std::string::npos) continue;
            const std::string given = TextAfter(line, "<span class=\"VN\"");
            for (std::size_t at = 0;
                 (at = line.find("class=\"IdxR\" href=\"", at)) != std::string::npos;) {
                at += 19;
                const std::string link = DecodeEntities(line.substr(at, line.find('"', at) - at));
                ++count;
                CheckPerson(page, link, given, surname);
            }
        }
        return count;
    }

    int Broken() const { return broken_; }

private:
    void CheckPerson(const fs::path& page, const std::string& link, const std::string& given,
                     const std::string& surname) {
        const std::size_t hash = link.find('#');
        if (hash == std::string::npos || HasScheme(link)) return;
        const fs::path target =
            (page.parent_path() / DecodePercent(link.substr(0, hash))).lexically_normal();
        const std::string there =
            Skeleton(ElementText(Html(target), DecodePercent(link.substr(hash + 1))));
        for (const std::string& name : {given, surname}) {
            const std::string wanted = Skeleton(name);
            if (name != "?" && there.find(wanted) == std::string::npos)
                return Report(page, "a class=\"IdxR\"", link,
                              "the person there is not " + given + " " + surname);
        }
    }

    const std::string& Html(const fs::path& page) {
        auto it = html_.find(page.string());
        if (it == html_.end()) it = html_.emplace(page.string(), ReadFile(page)).first;
        return it->second;
    }

    void CheckLink(const fs::path& page, const std::string& tag, const std::string& link) {
        if (HasScheme(link)) return;
        const std::size_t hash = link.find('#');
        const std::string file = DecodePercent(link.substr(0, hash));
        const std::string fragment =
            hash == std::string::npos ? "" : DecodePercent(link.substr(hash + 1));
        const fs::path target =
            file.empty() ? page : (page.parent_path() / file).lexically_normal();
        std::error_code ec;
        if (!fs::is_regular_file(target, ec))
            return Report(page, tag, link, "no such file " + target.string());
        if (!fragment.empty() && IsPage(target) && Anchors(target).count(fragment) == 0)
            return Report(page, tag, link,
                          "no id or name \"" + fragment + "\" in " + target.string());
    }

    void Report(const fs::path& page, const std::string& tag, const std::string& link,
                const std::string& why) {
        ++broken_;
        std::cout << page.string() << ": <" << tag << "> " << link << ": " << why << "\n";
    }

    const std::vector<Tag>& Tags(const fs::path& page) {
        auto it = tags_.find(page.string());
        if (it == tags_.end()) it = tags_.emplace(page.string(), ReadTags(ReadFile(page))).first;
        return it->second;
    }

    const std::set<std::string>& Anchors(const fs::path& page) {
        auto it = anchors_.find(page.string());
        if (it != anchors_.end()) return it->second;
        std::set<std::string> anchors;
        for (const Tag& tag : Tags(page)) {
            if (const std::string* id = tag.Find("id")) anchors.insert(*id);
            if (tag.name == "a")
                if (const std::string* name = tag.Find("name")) anchors.insert(*name);
        }
        return anchors_.emplace(page.string(), std::move(anchors)).first->second;
    }

    std::map<std::string, std::vector<Tag>> tags_;
    std::map<std::string, std::string> html_;
    std::map<std::string, std::set<std::string>> anchors_;
    int broken_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    const bool persons = argc > 1 && std::string(argv[1]) == "--persons";
    if (argc < (persons ? 3 : 2)) {
        std::cerr << "usage: check-links [--persons] FOLDER...\n";
        return 2;
    }
    LinkChecker checker;
    int pages = 0;
    int links = 0;
    int personLinks = 0;
    for (int i = persons ? 2 : 1; i < argc; ++i) {
        std::error_code ec;
        std::vector<fs::path> found;
        for (fs::recursive_directory_iterator it(fs::absolute(argv[i]), ec), end; !ec && it != end;
             it.increment(ec))
            if (it->is_regular_file() && IsPage(it->path())) found.push_back(it->path());
        if (ec) std::cerr << "check-links: " << argv[i] << ": " << ec.message() << "\n";
        std::sort(found.begin(), found.end());
        for (const fs::path& page : found) {
            ++pages;
            links += checker.CheckPage(page.lexically_normal());
            if (persons) personLinks += checker.CheckPersons(page.lexically_normal());
        }
    }
    std::cout << pages << " pages, " << links << " links";
    if (persons) std::cout << " (" << personLinks << " to persons)";
    std::cout << ", " << checker.Broken() << " broken\n";
    const bool noPersons = persons && personLinks == 0;
    if (noPersons) std::cout << "no links to persons found\n";
    return pages == 0 || noPersons || checker.Broken() > 0 ? 1 : 0;
}
