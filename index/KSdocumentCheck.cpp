#include "index/KSdocumentCheck.h"

#include "common/KSfileio.h"
#include "common/KSfiles.h"
#include "common/KSlocal.h"

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
    if (CheckFileKind(path, "htx", 1, 1, &unreadable)) return "";
    if (!unreadable.empty())
        return LocalText("#1563.2=kan niet gelezen worden") + ": " + unreadable;
    return LocalText("#1563.4=geen indexdocument (type htx, formaat 1)");
}

} // namespace ks
