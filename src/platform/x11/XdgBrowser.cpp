#include "platform/x11/XdgBrowser.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace quill::platform::x11 {

void XdgBrowser::open(const std::string& url) {
    // startDetached forks twice and reaps the middle process itself.
    QProcess::startDetached(QStringLiteral("xdg-open"), QStringList{QString::fromStdString(url)});
}

} // namespace quill::platform::x11
