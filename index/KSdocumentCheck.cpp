#include "index/KSdocumentCheck.h"

#include "common/KSfileio.h"
#include "common/KSfiles.h"
#include "common/KSini.h"
#include "common/KSlocal.h"
#include "common/KStextutil.h"
#include "index/KSdocumentCharset.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace ks {

std::string IndexDocumentProblem(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT ? LocalText("#1563.1=dit indexdocument bestaat niet")
                               : LocalReason("#1563.2=kan niet gelezen worden", errno);
    if (!S_ISREG(st.st_mode)) return NotAFileText();
    std::string unreadable;
    if (CheckFileKind(path, "htx", 1, 1, &unreadable)) {
        // A character set the program cannot read is refused, never guessed.
        TKSini ini;
        ini.Open(path);
        const std::string charset = Trim(ini.ReadCharset());
        if (DocumentCharsetNamed(charset) != TKSdocumentCharset::Unknown) return "";
        return LocalText("#1610.1=onbekende tekenset \"%1\" (gelezen worden utf-8 en windows-1252)",
                         {charset});
    }
    if (!unreadable.empty())
        return LocalText("#1563.2=kan niet gelezen worden") + ": " + unreadable;
    return LocalText("#1563.4=geen indexdocument (type htx, formaat 1)");
}

} // namespace ks
