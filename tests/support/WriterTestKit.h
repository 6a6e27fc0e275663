// What the tests of the list writers work with: a stand-in for the template
// processor that writes to files named by the test, and a small world of
// documents, a layout and the state of a run below a fresh temporary folder.
#pragma once

#include "LINE_INPUT/KSFileStream.h"
#include "builder/entries/KSrunSettings.h"
#include "builder/entries/KSrunState.h"
#include "builder/entries/KSrunView.h"
#include "common/KSprogress.h"
#include "index/KShtxData.h"
#include "index/KSksl.h"
#include "template/KStemplateParser.h"

#include "support/TempDir.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ks::test {

// Writes into folder + files[0]; NextPage goes on in the next name given.
class FakeTemplateOutput : public TKStemplateOutput {
public:
    FakeTemplateOutput(std::string folder, std::vector<std::string> files, int32_t column = 0);

    TKSFileStream& Output() override;
    const std::string& OutputFolder() const override { return folder_; }
    const std::string& OutputFile() const override { return files_[current_]; }
    int32_t PlaceholderColumn() const override { return column_; }
    const std::string& EntryName() const override { return entryName_; }
    void StepProgress(int64_t n) override { progress_ += n; }
    bool NextPage() override;

    // Called on every NextPage before the next file opens (as the run raises
    // the page of the entry being generated).
    std::function<void()> OnNextPage;

    int64_t Progress() const { return progress_; }
    int NextPageCalls() const { return nextPageCalls_; }
    // Content of the i-th file so far.
    std::string Text(std::size_t i) const;

private:
    std::string folder_;
    std::vector<std::string> files_;
    int32_t column_;
    std::string entryName_;
    std::size_t current_ = 0;
    std::unique_ptr<TKSFileStream> stream_;
    int64_t progress_ = 0;
    int nextPageCalls_ = 0;
};

class CountingBreather : public TKSbreather {
public:
    void Breathe() override { ++count; }
    int count = 0;
};

// Documents (not written to disk unless a test does so), a layout without a
// file, the settings and the state of a run whose record files lie in the
// temporary folder, and an output folder "out/".
class WriterWorld {
public:
    WriterWorld();

    // A document at relativePath below the temporary folder.
    TKShtxData& AddDocument(const std::string& relativePath, const std::string& title,
                            int32_t seqNr, bool selected = true);
    // A layout entry from an entry line ("index, index.tpl, index#NR!.htm, Index").
    TKSkslFile& AddEntry(const std::string& line, bool split);
    // Pages from (group letter, first surname, last surname, entry total).
    struct Page {
        std::string GroupLetter, FirstSurname, LastSurname;
        int32_t EntryTotal;
    };
    void SetPages(const std::vector<Page>& pages);
    // n pages named after their number.
    void SetPageCount(int32_t n);
    // The merged entries, closed by "#".
    void WriteEntries(const std::vector<std::string>& lines);

    // What the writers are handed.
    TKSrunView Run() { return {settings_, state_, breather_, stop_}; }
    TKSrunSettings& Settings() { return settings_; }
    TKSrunState& State() { return state_; }
    TKSkslData& Layout() { return *layout_; }
    TKShtxData& Document(std::size_t i) { return *documents_.at(i); }
    // What the run learnt about document i.
    TKSdocumentRun& DocumentRun(std::size_t i) { return state_.Documents.at(i); }
    void RequestStop() { stop_ = TKSstopRequest::Cancel; }
    std::string Root() const { return dir_.path().string() + "/"; }
    std::string OutFolder() const { return Root() + "out/"; }
    CountingBreather& Breather() { return breather_; }

private:
    TempDir dir_;
    std::vector<std::unique_ptr<TKShtxData>> documents_;
    std::unique_ptr<TKSkslData> layout_;
    TKSrunSettings settings_;
    TKSrunState state_;
    CountingBreather breather_;
    TKSstopRequest stop_ = TKSstopRequest::None;
};

} // namespace ks::test
