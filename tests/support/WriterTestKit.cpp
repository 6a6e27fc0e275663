#include "support/WriterTestKit.h"

#include <filesystem>

namespace ks::test {

FakeTemplateOutput::FakeTemplateOutput(std::string folder, std::vector<std::string> files,
                                       int32_t column)
    : folder_(std::move(folder)), files_(std::move(files)), column_(column) {
    std::filesystem::create_directories(folder_);
    stream_ = std::make_unique<TKSFileStream>(folder_ + files_[0], File::OpenMode::Create);
    stream_->SetWriteThrough(true); // tests read the pages while they are written
}

TKSFileStream& FakeTemplateOutput::Output() {
    return *stream_;
}

bool FakeTemplateOutput::NextPage() {
    ++nextPageCalls_;
    if (OnNextPage) OnNextPage();
    if (current_ + 1 >= files_.size()) return false;
    ++current_;
    stream_ = std::make_unique<TKSFileStream>(folder_ + files_[current_], File::OpenMode::Create);
    stream_->SetWriteThrough(true);
    return true;
}

std::string FakeTemplateOutput::Text(std::size_t i) const {
    return ReadFileBytes(folder_ + files_.at(i));
}

WriterWorld::WriterWorld() : layout_(std::make_unique<TKSkslData>()) {
    settings_.Layout = layout_.get();
    settings_.TempSwitchFolder = Root();
    settings_.DeveloperMode = true;
    state_.EntriesPath = Root() + "HTMLindex2.tmp";
}

TKShtxData& WriterWorld::AddDocument(const std::string& relativePath, const std::string& title,
                                     int32_t seqNr, bool selected) {
    documents_.push_back(std::make_unique<TKShtxData>(Root() + relativePath));
    TKShtxData& document = *documents_.back();
    document.Title = title;
    settings_.Documents.push_back({&document, selected});
    TKSdocumentRun run;
    run.ListPosition = static_cast<int32_t>(settings_.Documents.size());
    run.DataFileName = document.FileName;
    run.SeqNr = seqNr;
    state_.Documents.push_back(run);
    return document;
}

TKSkslFile& WriterWorld::AddEntry(const std::string& line, bool split) {
    layout_->Items.push_back(std::make_unique<TKSkslFile>(*layout_, TKSkslFile::kTemplate));
    TKSkslFile& entry = *layout_->Items.back();
    entry.ParseLine(line);
    entry.SetSplit(split);
    return entry;
}

void WriterWorld::SetPages(const std::vector<Page>& pages) {
    state_.Pages.Clear();
    int32_t number = 0;
    for (const Page& page : pages) {
        TKSindexData& data = state_.Pages.PageData(++number);
        data.GroupLetter = page.GroupLetter;
        data.FirstSurname = page.FirstSurname;
        data.LastSurname = page.LastSurname;
        data.EntryTotal = page.EntryTotal;
    }
    state_.PageCount = number;
}

void WriterWorld::SetPageCount(int32_t n) {
    std::vector<Page> pages;
    for (int32_t i = 1; i <= n; ++i)
        pages.push_back({"L", "S" + std::to_string(i), "S" + std::to_string(i), 1});
    SetPages(pages);
}

void WriterWorld::WriteEntries(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    WriteFileBytes(state_.EntriesPath, text + "#\r\n");
}

} // namespace ks::test
