// The folder chooser of the wizard: Qt's folder dialog behind the core's
// FolderBrowser interface.
#pragma once

#include "common/KScommon.h"

class QWidget;

namespace ks::app {

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
