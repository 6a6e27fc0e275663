// What the wizard's tests share: one application environment per test
// program (the shipped Dutch texts), a private per-user store and temporary
// folder for every test function, small index documents, and a way to answer
// a modal dialog that a click opens.
#pragma once

#include "app/KSHTMLverzamelIndex.h"

#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace ks {
class TKScommon;
}

namespace ks::test {

// Makes the process's environment (language NL, the program folder of the
// build tree) once, with the given start-up switches.
void StartTestEnvironment(const std::vector<std::string>& switches = {"/LANGUAGE=NL"});
// Ends it before the program's static objects go (call in cleanupTestCase).
void StopTestEnvironment();

// A fresh store ($XDG_CONFIG_HOME) and $TMPDIR below a temporary folder, for
// the life of the object.
class PrivateStore {
public:
    PrivateStore();
    ~PrivateStore();
    // A path below the temporary folder, as bytes.
    std::string Path(const std::string& name) const;
    // The store file's contents as saved.
    std::string StoreFile() const;

private:
    QTemporaryDir dir_;
};

// The program's window at its design size, shown, and closed through
// Annuleren when the test is done with it.
class ShownWizard {
public:
    ShownWizard();
    ~ShownWizard();
    template <typename T> T* Find(const char* name) { return window.findChild<T*>(name); }

    ks::app::TwzrdHTMLverzamelIndex window;
};

// A test class whose test functions share the environment and each get a
// fresh store and temporary folder (store_).
class WizardTestCase : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { StartTestEnvironment(); }
    void cleanupTestCase() { StopTestEnvironment(); }
    void init() { store_ = std::make_unique<PrivateStore>(); }
    void cleanup() { store_.reset(); }

protected:
    std::unique_ptr<PrivateStore> store_;
};

struct HtxHeader {
    std::string title = "Stamboom";
    std::string type = "htx";
    std::string format = "1";
    std::string htmFile = "index.htm";
    std::string description = ""; // lines separated by "\n"
    bool withMetadata = true;
};

// Writes an index document with one index line; makes the folders on the way.
void WriteHtx(const std::string& path, const HtxHeader& header = {});
void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);

// Runs answer on the first modal dialog of type T that appears (polling the
// event loop), so that a click that opens one can be made synchronously.
template <typename T> void AnswerModal(std::function<void(T*)> answer);
void AnswerModalWidget(const char* className, std::function<void(QWidget*)> answer);

template <typename T> void AnswerModal(std::function<void(T*)> answer) {
    AnswerModalWidget(T::staticMetaObject.className(),
                      [answer](QWidget* widget) { answer(static_cast<T*>(widget)); });
}

} // namespace ks::test
