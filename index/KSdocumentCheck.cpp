#include "index/KSdocumentCheck.h"

#include "common/KSfiles.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace ks {

std::string IndexDocumentProblem(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT ? "no such index document"
                               : std::string("cannot be read: ") + std::strerror(errno);
    if (!S_ISREG(st.st_mode)) return "not a file";
    std::string unreadable;
    if (CheckFileKind(path, "htx", 1, 1, &unreadable)) return "";
    if (!unreadable.empty()) return "cannot be read: " + unreadable;
    return "not an index document (type htx, format 1)";
}

} // namespace ks
