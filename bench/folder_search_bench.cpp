// Times "Map doorzoeken" of the wizard end to end: the window shown on the
// document page (offscreen platform), the folder chooser answered with
// FOLDER, the click on the button until the list is filled. Prints the number
// of documents listed and the seconds the click took.
//   folder_search_bench FOLDER
// Run it with a private XDG_CONFIG_HOME: nothing is saved (the window is not
// closed through its buttons), but the store is read at start-up.
#include "app/KSHTMLverzamelIndex.h"
#include "app/KSdocumentPage.h"
#include "app/KSstartup.h"
#include "common/KScommon.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <cstdio>

namespace {

class FixedFolder : public ks::FolderBrowser {
public:
    explicit FixedFolder(std::string folder) : folder_(std::move(folder)) {}
    bool BrowseForFolder(const std::string&, const std::string&, std::string& folder,
                         bool) override {
        folder = folder_;
        return true;
    }

private:
    std::string folder_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const auto environment = ks::app::StartEnvironment({argv[0], "/LANGUAGE=NL"});
    ks::app::TwzrdHTMLverzamelIndex wizard;
    FixedFolder browser(argv[1]);
    wizard.DocumentPage()->SetFolderBrowser(&browser);
    wizard.resize(640, 480);
    wizard.show();
    wizard.ShowPage(ks::app::TwzrdHTMLverzamelIndex::kDocumenten);
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    wizard.findChild<QPushButton*>(QStringLiteral("btnDirSearch"))->click();
    QApplication::processEvents(); // what the click left to draw
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const int listed = wizard.findChild<QListWidget*>(QStringLiteral("HTXbestanden"))->count();
    std::printf("%d documents listed in %.3f s\n", listed, seconds);
    return 0;
}
