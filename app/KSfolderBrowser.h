// The folder chooser of the wizard: Qt's folder dialog behind the core's
// FolderBrowser interface.
#pragma once

#include "common/KScommon.h"

#include <string>

class QWidget;

namespace ks::app {

// Where the chooser opens: folder when it is the full path of an existing
// folder, else root when it is, else the user's home folder; never the
// working folder, which says nothing to a user who started from a menu.
std::string FolderChooserStart(const std::string& folder, const std::string& root);

class TKSfolderBrowser : public FolderBrowser {
public:
    explicit TKSfolderBrowser(QWidget* owner) : owner_(owner) {}

    // title is a core text; root and folder are paths. Only folders can be
    // chosen; without allowNewFolder the dialog cannot make one.
    bool BrowseForFolder(const std::string& title, const std::string& root, std::string& folder,
                         bool allowNewFolder) override;

private:
    QWidget* owner_;
};

} // namespace ks::app
