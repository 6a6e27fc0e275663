#include "builder/KSentryReader.h"

#include "builder/KSbuilder.h"
#include "common/KSprogress.h"
#include "index/KShtxRegel.h"
#include "template/KStemplateParser.h"

namespace ks {

TKSentryReader::TKSentryReader(TKSbuilder& builder, TKStemplateOutput& out)
    : file_(builder.EntriesPath(), File::OpenMode::Read), breather_(builder.Breather()), out_(out) {
}

bool TKSentryReader::Next(TKShtxRegel& entry) {
    while (!done_ && !file_.Eof()) {
        file_.ReadLine(line_);
        if (line_ == "#") break;
        if (line_.empty()) continue;
        out_.StepProgress(1);
        breather_.Breathe();
        entry.ParseMergedLine(line_);
        return true;
    }
    done_ = true;
    return false;
}

} // namespace ks
