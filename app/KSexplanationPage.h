// The page "Uitleg": the explanation of the wizard from the language
// folder's rich-text file, and "deze uitleg vanaf nu overslaan".
#pragma once

#include "app/KSwizardPage.h"

#include <string>

class QCheckBox;
class QTextBrowser;

namespace ks::app {

class TKSexplanationPage : public TWizardPage {
    Q_OBJECT

public:
    explicit TKSexplanationPage(QWidget* parent = nullptr);

    // Shows the rich text of path; a missing or unreadable file leaves the page empty.
    void LoadExplanation(const std::string& path);
    bool SkipExplanation() const;

private:
    QTextBrowser* RichEdit1_ = nullptr;
    QCheckBox* chkUitlegOverslaan_ = nullptr;
};

} // namespace ks::app
