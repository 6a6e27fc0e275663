#include "app/KSfolderBrowser.h"

#include "app/KSqtText.h"
#include "common/KSpaths.h"

#include <QFileDialog>

namespace ks::app {

bool TKSfolderBrowser::BrowseForFolder(const std::string& title, const std::string& root,
                                       std::string& folder, bool allowNewFolder) {
    if (!IsFolder(folder)) folder.clear();
    QString start = FromPath(folder);
    if (start.isEmpty() && IsFolder(root)) start = FromPath(root);
    QFileDialog::Options options = QFileDialog::ShowDirsOnly;
    // The dialog's read-only mode is what takes away its "new folder" button.
    if (!allowNewFolder) options |= QFileDialog::ReadOnly;
    const QString chosen = QFileDialog::getExistingDirectory(owner_, FromKS(title), start, options);
    if (chosen.isEmpty()) return false;
    folder = WithSlash(ToPath(chosen));
    return true;
}

} // namespace ks::app
