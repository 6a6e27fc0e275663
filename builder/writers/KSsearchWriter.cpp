#include "builder/writers/KSsearchWriter.h"

#include "builder/entries/KSentryReader.h"
#include "builder/entries/KSreferences.h"
#include "builder/entries/KSrelativeLink.h"
#include "builder/entries/KSrunSettings.h"
#include "builder/entries/KSrunState.h"
#include "builder/entries/KSrunView.h"
#include "builder/entries/KSurlPath.h"
#include "builder/writers/KShtmlPieces.h"
#include "builder/writers/KSjsText.h"
#include "builder/writers/KSsearchKey.h"
#include "builder/writers/KSsearchShards.h"
#include "builder/writers/KSsearchSorter.h"
#include "common/KSerrors.h"
#include "common/KSfiles.h"
#include "common/KSlocal.h"
#include "common/KSpaths.h"
#include "common/KStextutil.h"
#include "index/KShtxData.h"
#include "index/KShtxRegel.h"
#include "index/KSksl.h"
#include "template/KStemplateParser.h"

#include <algorithm>
#include <cstdio>
#include <ranges>
#include <set>
#include <utility>

namespace ks {

namespace {

constexpr char kTab = '\t';
// The first byte of a sorted record: which shards it goes to.
constexpr char kGivenRecord = 'g';
constexpr char kSurnameRecord = 's';

std::string StemOf(const std::string& file) {
    const std::size_t dot = file.rfind('.');
    return dot == std::string::npos || dot == 0 ? file : file.substr(0, dot);
}

// The given names folded word by word, blanks between, appended to out:
// "Jan" comes before "Jan Pieter", and that before "Janneke".
void AppendGivenOrder(std::string& out, std::string_view given) {
    bool any = false;
    std::size_t from = 0;
    while (from <= given.size()) {
        std::size_t blank = given.find(' ', from);
        if (blank == std::string_view::npos) blank = given.size();
        const std::size_t mark = out.size();
        if (any) out += ' ';
        const std::size_t start = out.size();
        AppendSearchFold(out, given.substr(from, blank - from));
        if (out.size() == start) {
            out.resize(mark);
        } else {
            any = true;
        }
        from = blank + 1;
    }
}

// The record number in ten digits, so that numbers sort as their bytes.
void AppendRecordNumber(std::string& out, int32_t number) {
    if (number < 0) {
        char text[16];
        std::snprintf(text, sizeof text, "%010d", static_cast<int>(number));
        out += text;
        return;
    }
    char digits[10];
    for (char& digit : std::views::reverse(digits)) {
        digit = static_cast<char>('0' + number % 10);
        number /= 10;
    }
    out.append(digits, sizeof digits);
}

// Whether a link's path (before any "#") is a plain relative one, which a
// tree's index and the tree's folder read alike.
bool PlainLink(std::string_view link) {
    const std::string_view path = link.substr(0, link.find('#'));
    return !path.starts_with('/') && !path.starts_with("./") && !path.starts_with("../") &&
           path.find("/./") == std::string_view::npos &&
           path.find("/../") == std::string_view::npos;
}

// A link of a tree's index as seen from the tree's folder. Plain links stay
// as they are; others are resolved the way the index pages resolve them.
std::string TreeLink(const std::string& documentFile, std::string link) {
    std::replace(link.begin(), link.end(), '\\', '/');
    if (PlainLink(link)) return link;
    const std::string folder = FolderOf(documentFile);
    return RelativeLink(folder + "x", folder + link);
}

// The fields of a sorted record: its kind and key, the surname key (of
// records of given names only), surname, order of the given names, record
// number, and the person as written into a shard.
struct Record {
    char Kind = kSurnameRecord;
    std::string_view Key;
    std::string_view Surname;
    std::string_view Person;
};

std::string_view TakeField(std::string_view& line) {
    const std::size_t tab = line.find(kTab);
    const std::string_view field = line.substr(0, tab);
    line.remove_prefix(tab == std::string_view::npos ? line.size() : tab + 1);
    return field;
}

Record SplitRecord(std::string_view line) {
    Record record;
    record.Kind = line.front();
    line.remove_prefix(1);
    record.Key = TakeField(line);
    if (record.Kind == kGivenRecord) TakeField(line);
    record.Surname = TakeField(line);
    TakeField(line);
    TakeField(line);
    record.Person = line;
    return record;
}

// Under a given name the persons go by surname key, those without a surname
// last, as the search lists them.
constexpr std::string_view kNoSurnameOrder = "\x7f";

class TKSsearchWriter {
public:
    TKSsearchWriter(const TKSrunView& run, TKStemplateOutput& out, std::size_t shardBytes,
                    std::size_t sortBytes)
        : run_(run), out_(out), shardBytes_(shardBytes), sortBytes_(sortBytes),
          stem_(StemOf(out.OutputFile())) {}

    void Run() {
        for (const TKSrunDocument& document : run_.Settings.Documents)
            folders_.push_back(TreeFolder(document));
        CheckShardNames();
        ClearOldShards();
        TKSsearchSorter sorter(FolderOf(run_.State.EntriesPath), sortBytes_);
        TKSsearchShards shards(out_.WriteFolder(), stem_, shardBytes_);
        TKSsearchShards given(out_.WriteFolder(), stem_ + "-given", shardBytes_);
        ReadEntries(sorter, shards, given);
        // The records of given names sort before those of surnames.
        sorter.Finish([&shards, &given](std::string_view line) {
            const Record record = SplitRecord(line);
            (record.Kind == kGivenRecord ? given : shards)
                .Add(record.Key, record.Surname, record.Person);
        });
        given.Finish();
        shards.Finish();
        const std::vector<TKSsearchShard> sounds = WriteSounds();
        WriteCatalogue(sounds, given.Shards(), shards.Shards());
    }

private:
    // The shards may take no name of another entry's output.
    void CheckShardNames() const {
        const TKSkslData* layout = run_.Settings.Layout;
        if (layout == nullptr) return;
        const TKSkslFile* self = run_.State.CurrentItem;
        const std::string folder = FolderOf(run_.State.CurrentOutputName());
        const std::string mask = folder + stem_ + "-*.js";
        for (int n = 1; n <= layout->ItemCount(); ++n) {
            const TKSkslFile& entry = *layout->Item(n);
            if (&entry == self) continue;
            for (int page : {1, TKSkslFile::kDeletionMask}) {
                if (MatchFileMask(run_.State.OutputName(entry, page), mask, false))
                    throw EKSError(layout->LayoutFile,
                                   LocalText("#1565.1=de zoekgegevens van onderdeel \"%1\" zouden "
                                             "de uitvoer van onderdeel \"%2\" overschrijven (%3)",
                                             {self ? self->Name : "", entry.Name, mask}));
            }
        }
    }

    // A run that makes fewer shards than the last one leaves none behind.
    void ClearOldShards() const {
        const std::vector<TKSproblem> failures =
            DeleteFiles(out_.WriteFolder(), stem_ + "-*.js", run_.State.Inputs);
        if (!failures.empty())
            throw EWriteError(
                failures.front().Path,
                LocalText("#1565.2=de oude zoekgegevens kunnen niet verwijderd worden") + ": " +
                    failures.front().Reason);
    }

    void ReadEntries(TKSsearchSorter& sorter, TKSsearchShards& shards, TKSsearchShards& given) {
        TKSentryReader reader(run_, out_);
        TKShtxRegel entry;
        std::string key;
        std::string keySurname; // the surname key was made for
        bool keyMade = false;
        while (reader.Next(entry)) {
            // The entries come by surname: a key serves the whole run of it.
            if (!keyMade || entry.Surname != keySurname) {
                key = SurnameSearchKey(entry.SurnameMain());
                keySurname = entry.Surname;
                keyMade = true;
            }
            MakePerson(entry);
            // A person without a surname is found by the given names alone.
            const std::string_view surname =
                key.empty() ? std::string_view() : std::string_view(entry.Surname);
            if (!key.empty()) {
                if (keys_.empty() || keys_.back() != key) keys_.push_back(key);
                shards.Count(key, surname, person_);
                AddRecord(sorter, kSurnameRecord, key, {}, surname, entry);
            }
            for (const std::string& word : GivenSearchKeys(entry.GivenNames)) {
                given.Count(word, surname, person_);
                AddRecord(sorter, kGivenRecord, word, key.empty() ? kNoSurnameOrder : key, surname,
                          entry);
            }
        }
    }

    // kind, then key, the surname key under a given name, surname, order of
    // the given names, record number and the person (person_).
    void AddRecord(TKSsearchSorter& sorter, char kind, std::string_view key,
                   std::string_view surnameKey, std::string_view surname,
                   const TKShtxRegel& entry) {
        record_.assign(1, kind).append(key).append(1, kTab);
        if (kind == kGivenRecord) record_.append(surnameKey).append(1, kTab);
        record_.append(surname).append(1, kTab);
        AppendGivenOrder(record_, entry.GivenNames);
        record_.append(1, kTab);
        AppendRecordNumber(record_, entry.RecordNr);
        record_.append(1, kTab).append(person_);
        sorter.Add(record_);
    }

    // person_ = ["given names","years",[position,"link",...]], fit for a
    // shard's string.
    void MakePerson(const TKShtxRegel& entry) {
        json_.assign(1, '[');
        AppendJsString(json_, entry.GivenNames.empty() ? std::string_view("?")
                                                       : std::string_view(entry.GivenNames));
        json_ += ',';
        AppendJsString(json_, YearsText(entry));
        json_ += ",[";
        AppendReferences(entry.Link);
        json_ += "]]";
        person_.clear();
        AppendJsEmbedded(person_, json_);
    }

    // As in the index: the years say nothing when duplicates ignore them.
    std::string_view YearsText(const TKShtxRegel& entry) {
        if (run_.Settings.DuplicatesIgnoreYears) return {};
        if (entry.Year1.empty() && entry.Year2.empty()) return {};
        years_.assign(entry.Year1).append(1, '-').append(entry.Year2);
        return years_;
    }

    // Whether a link of a document is one as the tree gives it (joined to a
    // folder, any link reads as a path), as the index pages write it and as
    // the script joins it to the tree's folder (joined). Only a link with a
    // colon can be a scheme, in either form.
    bool SafeLink(const TKSrunDocument& document, std::string_view link,
                  const std::string& joined) const {
        if (!IsSafeLink(link)) return false;
        if (link.find(':') == std::string_view::npos && joined.find(':') == std::string::npos)
            return IsSafeLink(joined);
        return IsSafeLink(joined) &&
               IsSafeLink(DocumentLink(out_.OutputFolder() + out_.OutputFile(),
                                       document.Data->FileName, std::string(link),
                                       document.WebAddress));
    }

    // tree_ = the link of a tree's index as seen from the tree's folder; an
    // http: or https: address as it stands, which the script takes as it is
    // rather than joined to the tree's folder.
    void MakeTreeLink(const std::string& documentFile, std::string_view link) {
        tree_.assign(link);
        if (IsWebLink(tree_)) return;
        std::replace(tree_.begin(), tree_.end(), '\\', '/');
        if (!PlainLink(tree_)) tree_ = TreeLink(documentFile, tree_);
    }

    // Only the selected documents of the index are pointed to. A link that
    // may not be one is null.
    void AppendReferences(const std::string& references) {
        const auto& documents = run_.Settings.Documents;
        bool first = true;
        ForEachReference(references, documents.size(),
                         [&](std::size_t index, std::string_view link) {
                             const TKSrunDocument& document = documents[index];
                             if (document.Data == nullptr || !document.Selected) return;
                             if (!first) json_ += ',';
                             first = false;
                             MakeTreeLink(document.Data->FileName, link);
                             if (IsWebLink(tree_))
                                 joined_.assign(tree_);
                             else
                                 joined_.assign(folders_[index]).append(tree_);
                             json_ += std::to_string(index);
                             json_ += ',';
                             if (SafeLink(document, link, joined_)) {
                                 AppendJsString(json_, tree_);
                             } else {
                                 json_ += "null";
                             }
                         });
    }

    /* The surname keys under each of their sound keys, in shards of their
       own ("-sound-" in the name keeps them apart from the shards of names,
       whose groups are letters and digits). A shard's surname is the sound
       key; its one "person" the list of surname keys. */
    std::vector<TKSsearchShard> WriteSounds() {
        std::set<std::pair<std::string, std::string>> pairs;
        for (const std::string& key : keys_)
            for (std::string& sound : SurnameSoundKeys(key))
                pairs.emplace(std::move(sound), key);
        keys_.clear();
        TKSsearchShards shards(out_.WriteFolder(), stem_ + "-sound", shardBytes_);
        std::vector<std::pair<std::string, std::string>> lists; // sound, JSON of its keys
        for (auto pair = pairs.begin(); pair != pairs.end();) {
            std::string json = "[";
            const std::string& sound = pair->first;
            for (auto same = pair; pair != pairs.end() && pair->first == sound; ++pair)
                json.append(pair == same ? "" : ",").append(JsString(pair->second));
            json += ']';
            lists.emplace_back(sound, JsEmbedded(json));
        }
        for (const auto& [sound, list] : lists)
            shards.Count(sound, sound, list);
        for (const auto& [sound, list] : lists)
            shards.Add(sound, sound, list);
        shards.Finish();
        return shards.Shards();
    }

    static void WriteShardList(TKSFileStream& output, const std::string& indent, const char* name,
                               const std::vector<TKSsearchShard>& shards, const char* end) {
        output.WriteLine(indent + "\"" + name + "\":[");
        for (std::size_t i = 0; i < shards.size(); ++i)
            output.WriteLine(indent + "[" + JsString(shards[i].First) + "," +
                             JsString(shards[i].Last) + "," + JsString(UrlPath(shards[i].File)) +
                             "]" + (i + 1 < shards.size() ? "," : ""));
        output.WriteLine(indent + end);
    }

    void WriteCatalogue(const std::vector<TKSsearchShard>& sounds,
                        const std::vector<TKSsearchShard>& given,
                        const std::vector<TKSsearchShard>& shards) const {
        TKSFileStream& output = out_.Output();
        const std::string indent = Indent(out_.PlaceholderColumn());
        output.WriteLine(indent + "KSsearch.catalogue({\"format\":1,");
        output.WriteLine(indent + "\"trees\":[");
        const auto& documents = run_.Settings.Documents;
        for (std::size_t i = 0; i < documents.size(); ++i)
            output.WriteLine(indent + TreeText(i) + (i + 1 < documents.size() ? "," : ""));
        output.WriteLine(indent + "],");
        std::string prefixes = indent + "\"prefixes\":[";
        for (const std::string& word : SearchPrefixWords())
            prefixes += (word == SearchPrefixWords().front() ? "" : ",") + JsString(word);
        output.WriteLine(prefixes + "],");
        WriteShardList(output, indent, "sounds", sounds, "],");
        WriteShardList(output, indent, "given", given, "],");
        WriteShardList(output, indent, "shards", shards, "]});");
    }

    // The folder of a tree relative to the catalogue ("" for its own), or
    // the address it is published at.
    std::string TreeFolder(const TKSrunDocument& document) const {
        if (document.Data == nullptr) return {};
        if (!document.WebAddress.empty()) return document.WebAddress;
        std::string folder = RelativeLink(out_.OutputFolder() + out_.OutputFile(),
                                          FolderOf(AbsolutePath(document.Data->FileName)));
        if (folder == "./") folder.clear();
        return folder;
    }

    // {"number":1,"title":"...","folder":"../tree1/"}; null for a document
    // that is not part of the index.
    std::string TreeText(std::size_t index) const {
        const TKSrunDocument& document = run_.Settings.Documents[index];
        if (document.Data == nullptr || !document.Selected) return "null";
        return "{\"number\":" + std::to_string(run_.State.DocumentRun(index).SeqNr) +
               ",\"title\":" + JsString(document.Data->Title) +
               ",\"folder\":" + JsString(folders_[index]) + "}";
    }

    const TKSrunView& run_;
    TKStemplateOutput& out_;
    std::size_t shardBytes_;
    std::size_t sortBytes_;
    std::string stem_;
    std::vector<std::string> folders_; // of every document of the list, in list order
    std::vector<std::string> keys_;    // every surname key, once (entries come by surname)
    // Reused for every person: the search data has one for every entry.
    std::string json_;
    std::string person_;
    std::string record_;
    std::string years_;
    std::string tree_;
    std::string joined_;
};

} // namespace

void WriteSearchData(const TKSrunView& run, TKStemplateOutput& out, const std::string& arguments,
                     std::size_t sortBytes) {
    const int kilobytes = StrToIntDef(Trim(arguments), 0);
    const std::size_t shardBytes =
        static_cast<std::size_t>(kilobytes >= 1 ? kilobytes : 500) * 1000;
    TKSsearchWriter(run, out, shardBytes, sortBytes).Run();
}

std::string SearchShardMask(const std::string& outputName) {
    const std::string folder = FolderOf(outputName);
    return folder + StemOf(outputName.substr(folder.size())) + "-*.js";
}

} // namespace ks
