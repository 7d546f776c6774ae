// Quillmark on Linux: the Qt front end on X11 and Wayland; the feeds come through a helper
// program beside this one.

#include "forms/Application.h"
#include "forms/qt/LinuxDesktop.h"
#include "forms/qt/QtBackend.h"
#include "platform/CodePage.h"
#include "platform/posix/FileRegistry.h"
#include "platform/posix/ProcessHttp.h"
#include "platform/posix/XdgBrowser.h"
#include "ticker/Form1.h"
#include "ticker/Services.h"

#include <QApplication>
#include <clocale>
#include <cstdlib>
#include <filesystem>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    quill::forms::qt::QtBackend::prepareEnvironment();
    QApplication qtApplication(argc, argv);
    QApplication::setApplicationName(quill::kProgramTitle);
    // Closing the options window must not end the program; only the bar's close box does.
    QApplication::setQuitOnLastWindowClosed(false);

    quill::forms::qt::QtBackend backend;
    quill::forms::qt::LinuxDesktop desktop(backend);
    quill::forms::Application application(backend, desktop);
    backend.attach(application);

    quill::platform::ProcessHttp http(
        std::filesystem::read_symlink("/proc/self/exe").parent_path() / "quillmark-fetch");
    quill::platform::XdgBrowser browser;
    quill::platform::FileRegistry registry;
    const auto codePage = quill::platform::makeSystemCodePage();
    // The bar's close box ends the process at once: no destructor or clean-up runs.
    quill::Services services{application,
                             http,
                             browser,
                             registry,
                             *codePage,
                             std::filesystem::current_path(),
                             [](int code) { std::_Exit(code); }};

    quill::ticker::Form1 bar(services);
    bar.Form_Load();
    return QApplication::exec();
}
