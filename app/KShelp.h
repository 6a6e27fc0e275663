// The help of the window: one HTML page per help context number in the
// language folder's Help/ folder ("1521.html" for the layout page), opened
// in the user's web browser.
#pragma once

#include <QString>
#include <functional>
#include <string>

class QUrl;
class QWidget;

namespace ks::app {

class TKShelp {
public:
    // Opens an address in the browser; returns false when nothing could open it.
    using Opener = std::function<bool(const QUrl&)>;

    // The window's own page, shown for a context that has no page of its own.
    static constexpr int kWindowContext = 1500;

    void SetFolder(std::string folder) { folder_ = std::move(folder); }
    const std::string& Folder() const { return folder_; }

    // The page of a context number, whether it exists or not.
    std::string PagePath(int context) const;
    // The page that is shown for a context: its own page, else the window's
    // page; empty when neither exists.
    std::string PageFor(int context) const;

    // Shows the page for the context; a missing page or a browser that cannot
    // be started is told in a message box over parent, naming the file.
    void Show(int context, QWidget* parent) const;

    // Replaces the browser (the tests record what would be opened); an empty
    // function brings back the system's browser.
    static void SetOpener(Opener opener);

private:
    std::string folder_;
};

} // namespace ks::app
