#include "builder/writers/KSsearchShards.h"

#include "builder/entries/KSurlPath.h"
#include "builder/writers/KSjsText.h"
#include "common/KSerrors.h"
#include "common/KSfileio.h"
#include "common/KSlocal.h"
#include "common/KSpaths.h"
#include "common/KSreplacingFile.h"
#include "common/KSutf8.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace ks {

namespace {

// The first count letters of a key (a-z, digits, or a letter of another
// script in UTF-8).
std::string_view FirstLetters(std::string_view key, std::size_t count) {
    return key.substr(0, Utf8PrefixLength(key, count));
}

// Letters of a key as they stand in a file name: plain ASCII, so that every
// host serves the file. Keys hold a to z and digits; a letter of another
// script is "U" and its code point in six hexadecimal digits ("U0003C0" for
// π), which no other group of letters can spell.
std::string FileLetters(std::string_view letters) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string name;
    for (std::size_t pos = 0; pos < letters.size();) {
        const Utf8Char c = DecodeUtf8(letters, pos);
        pos += c.Length > 0 ? c.Length : 1;
        if (c.Valid() && c.Length == 1) {
            name += static_cast<char>(c.CodePoint);
            continue;
        }
        name += 'U';
        const char32_t v = c.Valid() ? c.CodePoint : 0;
        for (int shift = 20; shift >= 0; shift -= 4)
            name += kHex[(v >> shift) & 0xF];
    }
    return name;
}

// The surnames are a JSON array in a string literal, one surname a line
// (a backslash before the line end continues the string).
constexpr std::string_view kSurnameEnd = "]]";
constexpr std::string_view kSeparator = ",\\\n";
constexpr std::string_view kShardEnd = "\\\n]');\n";

// [key, surname, prefix, [ : what opens the persons of a surname.
std::string SurnameHead(std::string_view key, std::string_view surname) {
    const std::size_t comma = surname.find(", ");
    const std::string_view main = surname.substr(0, comma);
    const std::string_view prefix =
        comma == std::string_view::npos ? std::string_view() : surname.substr(comma + 2);
    return JsEmbedded("[" + JsString(key) + "," + JsString(main) + "," + JsString(prefix) + ",[");
}

} // namespace

TKSsearchShards::TKSsearchShards(std::string folder, std::string stem, std::size_t limit)
    : folder_(std::move(folder)), stem_(std::move(stem)), limit_(limit) {}

void TKSsearchShards::Count(std::string_view key, std::string_view surname,
                            std::string_view person) {
    std::size_t bytes = person.size() + 1;
    // Persons of a surname mostly come together: its head counts once.
    if (surname != countedSurname_) {
        bytes += SurnameHead(key, surname).size() + kSurnameEnd.size() + kSeparator.size();
        countedSurname_ = surname;
    }
    letterBytes_[std::string(FirstLetters(key, 1))] += bytes;
}

std::string TKSsearchShards::GroupOf(std::string_view key) const {
    const std::string letter(FirstLetters(key, 1));
    const auto found = letterBytes_.find(letter);
    // The head of a shard names its file: some room is kept for it.
    const std::size_t room = limit_ > 100 + stem_.size() ? limit_ - 100 - stem_.size() : 0;
    if (found == letterBytes_.end() || found->second <= room) return letter;
    return std::string(FirstLetters(key, 2));
}

std::string TKSsearchShards::FileName() const {
    return stem_ + "-" + FileLetters(group_) + (part_ > 1 ? "_" + std::to_string(part_) : "") +
           ".js";
}

void TKSsearchShards::StartShard(std::string_view key) {
    text_ = "KSsearch.shard(" + JsString(UrlPath(FileName())) + ",'[\\\n";
    persons_ = 0;
    shards_.push_back({std::string(key), std::string(key), FileName(), 0});
}

void TKSsearchShards::Add(std::string_view key, std::string_view surname, std::string_view person) {
    const std::string group = GroupOf(key);
    if (group != group_) {
        WriteShard();
        group_ = group;
        part_ = 1;
        StartShard(key);
    }
    bool sameSurname = persons_ > 0 && key == key_ && surname == surname_;
    std::string head = sameSurname ? std::string() : SurnameHead(key, surname);
    std::size_t adds = sameSurname ? 1 + person.size()
                                   : (persons_ > 0 ? kSurnameEnd.size() + kSeparator.size() : 0) +
                                         head.size() + person.size();
    if (persons_ > 0 && text_.size() + adds + kSurnameEnd.size() + kShardEnd.size() > limit_) {
        WriteShard();
        ++part_;
        StartShard(key);
        if (sameSurname) head = SurnameHead(key, surname);
        sameSurname = false;
    }
    if (sameSurname) {
        text_ += ',';
    } else {
        if (persons_ > 0) text_.append(kSurnameEnd).append(kSeparator);
        text_ += head;
        key_ = key;
        surname_ = surname;
    }
    text_ += person;
    ++persons_;
    shards_.back().Last = key;
}

void TKSsearchShards::Finish() {
    WriteShard();
}

void TKSsearchShards::WriteShard() {
    if (persons_ == 0) return;
    text_.append(kSurnameEnd).append(kShardEnd);
    const std::string path = folder_ + shards_.back().File;
    // Written as a new file of the output folder, never through a link.
    if (IsLink(path)) ::unlink(path.c_str());
    if (!WriteFileAtomically(path, {text_}, 0644))
        throw EWriteError(path, LocalReason("#1564.5=kan niet geschreven worden", errno));
    shards_.back().Bytes = text_.size();
    persons_ = 0;
    text_.clear();
}

} // namespace ks
