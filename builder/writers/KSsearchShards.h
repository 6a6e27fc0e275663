// The shards of the search data: JavaScript files that each hold the persons
// of a range of surname keys, so that a visitor's browser loads only the
// shard of the first letters typed. A shard holds every key of its first
// letter when they fit, else those of its first two letters; a shard that
// would still grow past the limit goes on in a next part.
//
// A shard file calls KSsearch.shard(its file name as a link, surnames): the surnames
// are a JSON array in a string (which a browser reads much faster than a
// literal of the same data), each surname being [key, surname, prefix,
// persons] and each person the text given for it. Everything written is
// ASCII.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace ks {

struct TKSsearchShard {
    std::string First; // the smallest key it holds
    std::string Last;  // the largest key it holds
    std::string File;  // its file name (on disk; UrlPath gives it as a link)
    std::size_t Bytes = 0;
};

class TKSsearchShards {
public:
    // Shards are written into folder (ending with "/") and named stem, "-",
    // the letters of the group, "_" and the part number from part 2 on, and
    // ".js". limit: the size, in bytes, no shard passes (a single person
    // larger than that still gets a shard of its own).
    TKSsearchShards(std::string folder, std::string stem, std::size_t limit);

    // First, for every person in any order: counts its size towards the
    // first letter of its key.
    void Count(std::string_view key, std::string_view surname, std::string_view person);
    // Then every person, in order of key and surname. surname is the whole
    // surname ("Berg, van den"); person is JSON made fit for the string
    // (JsEmbedded) and is written as it stands.
    void Add(std::string_view key, std::string_view surname, std::string_view person);
    // Writes the last shard. Raises EWriteError when a shard cannot be written.
    void Finish();

    // The shards written, in key order.
    const std::vector<TKSsearchShard>& Shards() const { return shards_; }

private:
    std::string GroupOf(std::string_view key) const;
    std::string FileName() const;
    void StartShard(std::string_view key);
    void WriteShard();

    std::string folder_;
    std::string stem_;
    std::size_t limit_;
    std::map<std::string, std::size_t, std::less<>> letterBytes_;
    std::string countedSurname_;

    std::vector<TKSsearchShard> shards_;
    std::string group_;
    int part_ = 0;
    std::string text_;
    std::size_t persons_ = 0; // in the shard being filled
    std::string key_;         // of the surname open in the shard
    std::string surname_;
};

} // namespace ks
