#include "builder/combine/KSmerge.h"

#include "LINE_INPUT/KSFileStream.h"
#include "builder/entries/KSrunSettings.h"
#include "builder/entries/KSrunState.h"
#include "common/KSerrors.h"
#include "common/KSlocal.h"
#include "common/KSprogress.h"
#include "common/KStextutil.h"
#include "common/KSutf8.h"
#include "common/KSwebLink.h"
#include "index/KShtxData.h"
#include "index/KShtxRegel.h"

#include <memory>
#include <queue>
#include <string_view>
#include <vector>

namespace ks {

namespace {

constexpr std::size_t kCutLinesShown = 5;

// The lines whose names were cut: the first few and how many in all.
struct CutNames {
    std::vector<int64_t> lines;
    int64_t count = 0;

    void Add(int64_t line) {
        if (lines.size() < kCutLinesShown) lines.push_back(line);
        ++count;
    }
};

// One document's place in the merge: its reader and its current line.
struct Cursor {
    const TKShtxData* data = nullptr;
    TKSdocumentRun* run = nullptr; // what the run learns about the document
    int32_t position = 0;          // 0-based place in the document list
    std::string suffix;            // a tab and the position, appended to every line
    std::unique_ptr<TKSFileStream> stream;
    std::string read; // as the document holds it
    std::string line; // as UTF-8
    std::string key;
    TKShtxRegel regel;
    bool exhausted = true;
    int64_t lineNumber = 0; // of line in the file read
    CutNames cut;           // lines of the file read
};

// The lines of a document whose names are cut, counted as in the document;
// the merge may have read a sorted copy, whose lines lie in another order.
CutNames CutLinesOf(const TKShtxData& document) {
    CutNames cut;
    TKSFileStream stream(document.FileName, File::OpenMode::Read);
    std::string line;
    std::string utf8;
    int64_t number = 0;
    bool found = false;
    while (!found && !stream.Eof()) {
        stream.ReadLine(line);
        ++number;
        found = TKShtxData::IsIndexDataLine(line);
    }
    TKShtxRegel regel;
    while (found && !stream.Eof()) {
        stream.ReadLine(line);
        ++number;
        if (line.empty()) break;
        DocumentTextToUtf8(line, document.Charset, utf8);
        if (regel.ParseIndexLine(utf8)) cut.Add(number);
    }
    return cut;
}

void WarnAboutCutNames(const TKShtxData& document, const TKSdocumentRun& run, CutNames cut,
                       std::vector<TKSrunWarning>& warnings) {
    if (run.DataFileName != document.FileName) cut = CutLinesOf(document);
    const std::string most = std::to_string(kMaxNameBytes);
    for (const int64_t line : cut.lines)
        warnings.push_back(
            {document.FileName + ":" + std::to_string(line),
             LocalText("#1563.6=een naam van meer dan %1 tekens is ingekort tot %1 tekens",
                       {most})});
    const int64_t more = cut.count - static_cast<int64_t>(cut.lines.size());
    if (more > 0)
        warnings.push_back(
            {document.FileName,
             LocalText("#1563.7=nog %1{ regel| regels} met namen ingekort tot %2 tekens",
                       {std::to_string(more), most})});
}

// Running estimate of the HTML size of the current surname.
class SizeEstimator {
public:
    SizeEstimator(TKSFileStream& sizes, bool indexWithYears)
        : sizes_(sizes), indexWithYears_(indexWithYears) {}

    void Account(const TKShtxRegel& regel, const TKShtxData& document) {
        if (!regel.SameSurname(surname_)) StartSurname(regel.Surname);
        if (!SameTextAscii(regel.GivenNames, givenNames_)) {
            if (!givenNames_.empty()) AddGivenNames(regel);
            givenNames_ = regel.GivenNames;
        }
        if (&document != titled_) {
            titled_ = &document;
            titleLength_ = static_cast<int64_t>(EstimatedLength(document.Title));
        }
        givenSize_ += 40 + static_cast<int64_t>(EstimatedLength(regel.Link)) + titleLength_;
    }

    // Writes the last surname (also when none was seen) and the end mark.
    int64_t Finish() {
        WriteSurname();
        return total_;
    }

private:
    void StartSurname(const std::string& surname) {
        if (!surname_.empty()) WriteSurname();
        surnameSize_ = static_cast<int64_t>(EstimatedLength(surname)) + 38 + 35;
        if (surname.find(',') != std::string::npos) surnameSize_ += 28;
        givenSize_ = 0;
        givenNames_.clear();
        surname_ = surname;
    }

    void AddGivenNames(const TKShtxRegel& regel) {
        givenSize_ += static_cast<int64_t>(EstimatedLength(regel.GivenNames)) + 95;
        const int64_t years =
            static_cast<int64_t>(EstimatedLength(regel.Year1) + EstimatedLength(regel.Year2));
        if (years > 0) {
            givenSize_ += years + 1;
            if (indexWithYears_) givenSize_ += years + 1;
        }
    }

    void WriteSurname() {
        const int64_t size = surnameSize_ + givenSize_;
        sizes_.WriteLine(surname_ + "\t" + std::to_string(size));
        total_ += size;
    }

    TKSFileStream& sizes_;
    bool indexWithYears_;
    const TKShtxData* titled_ = nullptr; // the document whose title was measured last
    int64_t titleLength_ = 0;
    std::string surname_;
    std::string givenNames_;
    int64_t surnameSize_ = 0;
    int64_t givenSize_ = 0;
    int64_t total_ = 0;
};

void UpdateStatistics(TKSdocumentRun& data, const TKShtxRegel& regel) {
    for (const std::string* year : {&regel.Year1, &regel.Year2}) {
        const int value = StrToIntDef(*year, 0);
        if (value == 0) continue;
        if (value < data.MinYear) data.MinYear = value;
        if (value > data.MaxYear) data.MaxYear = value;
    }
    const std::string_view page = std::string_view(regel.Link).substr(0, regel.Link.find('#'));
    if (!page.empty() && page < std::string_view(data.FirstPage)) data.FirstPage.assign(page);
    // A placeholder never replaced: every person of such a tree links there.
    if (data.ExampleLink.empty() && IsExampleAddress(regel.Link)) data.ExampleLink = regel.Link;
}

class Merger {
public:
    Merger(const TKSrunSettings& settings, std::vector<TKSdocumentRun>& documents,
           TKSprogressBar& bar, TKSbreather& breather)
        : settings_(settings), documents_(documents), bar_(bar), breather_(breather) {}

    int64_t Run(const std::string& mergedPath, const std::string& sizesPath,
                std::vector<TKSrunWarning>* warnings) {
        TKSFileStream merged(mergedPath, File::OpenMode::Create);
        TKSFileStream sizes(sizesPath, File::OpenMode::Create);
        OpenDocuments();
        SizeEstimator estimator(sizes, settings_.IndexWithYears);
        bar_.SetRange(progressMin_, progressMax_);
        progress_ = progressMin_;
        std::string out;
        const Later later{&cursors_};
        while (!queue_.empty()) {
            const std::size_t i = queue_.top();
            queue_.pop();
            // A document goes on for as long as its next line stays first:
            // one comparison a line rather than a trip through the queue.
            do {
                bar_.SetPosition(progress_);
                breather_.Breathe();
                Take(cursors_[i], merged, estimator, out);
            } while (!cursors_[i].exhausted && (queue_.empty() || !later(i, queue_.top())));
            if (!cursors_[i].exhausted) queue_.push(i);
        }
        // Whatever follows the index lines of a document counts as read.
        bar_.SetPosition(progressMax_);
        const int64_t estimatedSize = estimator.Finish();
        if (warnings != nullptr)
            for (Cursor& cursor : cursors_)
                if (cursor.cut.count > 0)
                    WarnAboutCutNames(*cursor.data, *cursor.run, cursor.cut, *warnings);
        cursors_.clear();
        merged.WriteLine("#");
        sizes.WriteLine("#");
        merged.Close();
        sizes.Close();
        return estimatedSize;
    }

private:
    struct Later {
        const std::vector<Cursor>* cursors;
        bool operator()(std::size_t a, std::size_t b) const {
            const int c = (*cursors)[a].key.compare((*cursors)[b].key);
            return c != 0 ? c > 0 : a > b; // ties: the earliest document first
        }
    };

    void OpenDocuments() {
        int32_t seqNr = 0;
        for (std::size_t i = 0; i < settings_.Documents.size(); ++i) {
            cursors_.emplace_back();
            Cursor& cursor = cursors_.back();
            cursor.data = settings_.Documents[i].Data;
            cursor.run = &documents_.at(i);
            cursor.position = static_cast<int32_t>(i);
            cursor.suffix = "\t" + std::to_string(i);
            if (!settings_.Documents[i].Selected || cursor.data == nullptr) continue;
            cursor.run->SeqNr = ++seqNr;
            cursor.run->ResetStatistics();
            OpenDocument(cursor);
        }
        for (std::size_t i = 0; i < cursors_.size(); ++i)
            if (!cursors_[i].exhausted) queue_.push(i);
    }

    void OpenDocument(Cursor& cursor) {
        cursor.stream =
            std::make_unique<TKSFileStream>(cursor.run->DataFileName, File::OpenMode::Read);
        TKSFileStream& stream = *cursor.stream;
        // A document that vanished or became unreadable since it was chosen
        // stops the run with its name rather than quietly leaving it out.
        if (!stream.Opened())
            throw EInOutError(cursor.run->DataFileName,
                              LocalText("#1563.5=het indexdocument kan niet gelezen worden") +
                                  ": " + stream.OpenError());
        progressMax_ += stream.Size();
        bool found = false;
        while (!found && !stream.Eof()) {
            stream.ReadLine(cursor.line);
            ++cursor.lineNumber;
            found = TKShtxData::IsIndexDataLine(cursor.line);
        }
        progressMin_ += stream.Position();
        if (found) ReadNext(cursor);
    }

    // The next index line, or exhausted at the end or at an empty line.
    void ReadNext(Cursor& cursor) {
        cursor.exhausted = true;
        if (cursor.stream->Eof()) return;
        cursor.stream->ReadLine(cursor.read);
        ++cursor.lineNumber;
        if (cursor.read.empty()) return;
        DocumentTextToUtf8(cursor.read, cursor.data->Charset, cursor.line);
        if (cursor.regel.ParseIndexLine(cursor.line)) cursor.cut.Add(cursor.lineNumber);
        cursor.regel.DocIndex = cursor.position;
        cursor.regel.SortKeyInto(cursor.key);
        cursor.exhausted = false;
        progress_ += static_cast<int64_t>(cursor.read.size()) + 2;
    }

    void Take(Cursor& cursor, TKSFileStream& merged, SizeEstimator& estimator, std::string& out) {
        out.assign(cursor.line);
        out += cursor.suffix;
        merged.WriteLine(out);
        ++cursor.run->EntryCount;
        if (cursor.line.size() > 1) {
            UpdateStatistics(*cursor.run, cursor.regel);
            estimator.Account(cursor.regel, *cursor.data);
        }
        ReadNext(cursor);
    }

    const TKSrunSettings& settings_;
    std::vector<TKSdocumentRun>& documents_;
    TKSprogressBar& bar_;
    TKSbreather& breather_;
    std::vector<Cursor> cursors_;
    std::priority_queue<std::size_t, std::vector<std::size_t>, Later> queue_{Later{&cursors_}};
    int64_t progressMin_ = 0;
    int64_t progressMax_ = 0;
    int64_t progress_ = 0;
};

} // namespace

int64_t MergeIndexes(const TKSrunSettings& settings, std::vector<TKSdocumentRun>& documents,
                     const std::string& mergedPath, const std::string& sizesPath,
                     TKSprogressBar& bar, TKSbreather& breather,
                     std::vector<TKSrunWarning>* warnings) {
    Merger merger(settings, documents, bar, breather);
    return merger.Run(mergedPath, sizesPath, warnings);
}

} // namespace ks
