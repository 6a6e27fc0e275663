#include "builder/entries/KSentryReader.h"

#include "builder/entries/KSrunState.h"
#include "builder/entries/KSrunView.h"
#include "common/KSprogress.h"
#include "index/KShtxRegel.h"
#include "template/KStemplateParser.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <exception>

namespace ks {

namespace {

constexpr std::size_t kTexts = 7;
constexpr std::size_t kHeaderBytes = 4 * (3 + kTexts);
constexpr std::size_t kBlock = 64 * 1024;

std::array<std::string*, kTexts> Texts(TKShtxRegel& entry) {
    return {&entry.Letter, &entry.Surname, &entry.GivenNames, &entry.Extra,
            &entry.Year1,  &entry.Year2,   &entry.Link};
}

void PutNumber(std::string& out, uint32_t value) {
    char bytes[4];
    std::memcpy(bytes, &value, 4);
    out.append(bytes, 4);
}

uint32_t GetNumber(const char* at) {
    uint32_t value;
    std::memcpy(&value, at, 4);
    return value;
}

} // namespace

TKSentryReader::TKSentryReader(const TKSrunView& run, TKStemplateOutput& out)
    : TKSentryReader(run) {
    out_ = &out;
}

TKSentryReader::TKSentryReader(const TKSrunView& run)
    : state_(run.State), breather_(run.Breather), out_(nullptr) {
    if (state_.EntryCopyWhole) {
        copyIn_ = File::Open(state_.EntryCopyPath, File::OpenMode::Read);
        if (copyIn_.Valid()) return;
        state_.EntryCopyWhole = false;
    }
    text_ = std::make_unique<TKSFileStream>(state_.EntriesPath, File::OpenMode::Read);
    if (state_.EntryCopyPath.empty() || state_.EntryCopyWriting) return;
    File copy = File::Open(state_.EntryCopyPath, File::OpenMode::Create);
    if (!copy.Valid()) return; // the text serves every reader
    copyOut_ = std::make_unique<BufferedWriter>(std::move(copy));
    state_.EntryCopyWriting = true;
}

TKSentryReader::~TKSentryReader() {
    DropCopy();
}

bool TKSentryReader::Next(TKShtxRegel& entry) {
    if (done_) return false;
    if (text_ ? NextText(entry) : NextFromCopy(entry)) {
        Step();
        return true;
    }
    done_ = true;
    if (copyOut_) FinishCopy();
    return false;
}

void TKSentryReader::Step() {
    if (out_ != nullptr) out_->StepProgress(1);
    breather_.Breathe();
}

bool TKSentryReader::NextText(TKShtxRegel& entry) {
    while (!text_->Eof()) {
        text_->ReadLine(line_);
        if (line_ == "#") return false;
        if (line_.empty()) continue;
        entry.ParseMergedLine(line_);
        if (copyOut_) Keep(entry);
        return true;
    }
    // Without its closing line the text was cut short: no copy of it.
    DropCopy();
    return false;
}

bool TKSentryReader::NextFromCopy(TKShtxRegel& entry) {
    if (!Have(kHeaderBytes)) return false;
    const char* header = block_.data() + at_;
    std::size_t bytes = 0;
    uint32_t lengths[kTexts];
    for (std::size_t i = 0; i < kTexts; ++i) {
        lengths[i] = GetNumber(header + 4 * (3 + i));
        bytes += lengths[i];
    }
    if (!Have(kHeaderBytes + bytes)) return false;
    header = block_.data() + at_;
    entry.PageNr = static_cast<int32_t>(GetNumber(header));
    entry.RecordNr = static_cast<int32_t>(GetNumber(header + 4));
    entry.Count = static_cast<int32_t>(GetNumber(header + 8));
    const char* text = header + kHeaderBytes;
    const std::array<std::string*, kTexts> texts = Texts(entry);
    for (std::size_t i = 0; i < kTexts; ++i) {
        texts[i]->assign(text, lengths[i]);
        text += lengths[i];
    }
    at_ += kHeaderBytes + bytes;
    return true;
}

// Whether the next bytes of the copy are at hand from at_, reading on.
bool TKSentryReader::Have(std::size_t bytes) {
    if (block_.size() - at_ >= bytes) return true;
    block_.erase(0, at_);
    at_ = 0;
    while (block_.size() < bytes) {
        const std::size_t old = block_.size();
        const std::size_t want = std::max(kBlock, bytes - old);
        block_.resize(old + want);
        const std::size_t got = copyIn_.Read(block_.data() + old, want);
        block_.resize(old + got);
        if (got == 0) return false;
    }
    return true;
}

void TKSentryReader::Keep(const TKShtxRegel& entry) {
    record_.clear();
    PutNumber(record_, static_cast<uint32_t>(entry.PageNr));
    PutNumber(record_, static_cast<uint32_t>(entry.RecordNr));
    PutNumber(record_, static_cast<uint32_t>(entry.Count));
    const std::array<std::string*, kTexts> texts = Texts(const_cast<TKShtxRegel&>(entry));
    for (const std::string* text : texts)
        PutNumber(record_, static_cast<uint32_t>(text->size()));
    for (const std::string* text : texts)
        record_ += *text;
    try {
        copyOut_->Write(record_);
    } catch (const std::exception&) {
        DropCopy(); // the copy only saves time: the text is still there
    }
}

void TKSentryReader::FinishCopy() {
    try {
        copyOut_->Close();
        copyOut_.reset();
        state_.EntryCopyWriting = false;
        state_.EntryCopyWhole = true;
    } catch (const std::exception&) {
        DropCopy();
    }
}

void TKSentryReader::DropCopy() noexcept {
    if (!copyOut_) return;
    copyOut_->Discard();
    copyOut_.reset();
    state_.EntryCopyWriting = false;
    state_.EntryCopyWhole = false;
}

} // namespace ks
