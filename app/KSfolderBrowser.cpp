#include "app/KSfolderBrowser.h"

#include "app/KSqtText.h"
#include "common/KSpaths.h"

#include <QDir>
#include <QFileDialog>

namespace ks::app {

namespace {

// A relative path would be taken from the working folder.
bool IsFullFolder(const std::string& path) {
    return !path.empty() && path.front() == '/' && IsFolder(path);
}

} // namespace

std::string FolderChooserStart(const std::string& folder, const std::string& root) {
    if (IsFullFolder(folder)) return folder;
    if (IsFullFolder(root)) return root;
    return WithSlash(ToPath(QDir::homePath()));
}

bool TKSfolderBrowser::BrowseForFolder(const std::string& title, const std::string& root,
                                       std::string& folder, bool allowNewFolder) {
    const QString start = FromPath(FolderChooserStart(folder, root));
    QFileDialog::Options options = QFileDialog::ShowDirsOnly;
    // The dialog's read-only mode is what takes away its "new folder" button.
    if (!allowNewFolder) options |= QFileDialog::ReadOnly;
    const QString chosen = QFileDialog::getExistingDirectory(owner_, FromKS(title), start, options);
    if (chosen.isEmpty()) return false;
    folder = WithSlash(ToPath(chosen));
    return true;
}

} // namespace ks::app
