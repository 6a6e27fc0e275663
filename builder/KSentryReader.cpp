#include "builder/KSentryReader.h"

#include "builder/KSrunState.h"
#include "builder/KSrunView.h"
#include "common/KSprogress.h"
#include "index/KShtxRegel.h"
#include "template/KStemplateParser.h"

namespace ks {

TKSentryReader::TKSentryReader(const TKSrunView& run, TKStemplateOutput& out)
    : file_(run.State.EntriesPath, File::OpenMode::Read), breather_(run.Breather), out_(&out) {}

TKSentryReader::TKSentryReader(const TKSrunView& run)
    : file_(run.State.EntriesPath, File::OpenMode::Read), breather_(run.Breather), out_(nullptr) {}

bool TKSentryReader::Next(TKShtxRegel& entry) {
    while (!done_ && !file_.Eof()) {
        file_.ReadLine(line_);
        if (line_ == "#") break;
        if (line_.empty()) continue;
        if (out_ != nullptr) out_->StepProgress(1);
        breather_.Breathe();
        entry.ParseMergedLine(line_);
        return true;
    }
    done_ = true;
    return false;
}

} // namespace ks
