#include "forms/qt/NativeChoosers.h"

#include "forms/qt/OverlaySurface.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QStringList>

namespace quill::forms::qt {

std::optional<std::size_t> execMenu(QWidget* owner, QPoint logicalAt,
                                    const std::vector<MenuItem>& items) {
    // A click queued behind a load that held the bar comes out when the load is over. If the
    // pointer has gone on from where it clicked, so has the user: a menu there would only take
    // the keyboard from whatever they went on to.
    if ((QCursor::pos() - logicalAt).manhattanLength() > QApplication::startDragDistance()) {
        return std::nullopt;
    }
    QMenu menu(owner);
    std::vector<QAction*> actions;
    for (const MenuItem& item : items) {
        if (item.caption.empty()) {
            actions.push_back(menu.addSeparator());
            continue;
        }
        QAction* action = menu.addAction(QString::fromStdString(item.caption));
        action->setEnabled(item.enabled);
        action->setCheckable(item.checked);
        action->setChecked(item.checked);
        actions.push_back(action);
    }
    // On Wayland a menu cannot hang from a layer-shell bar: it stands beside it on its own.
    const auto overlay = OverlaySurface::make(menu, OverlaySurface::Keyboard::Take);
    const QAction* chosen = menu.exec(logicalAt);
    for (std::size_t i = 0; i < actions.size(); ++i) {
        if (chosen != nullptr && actions[i] == chosen) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> execFileDialog(const FileChoice& choice) {
    QStringList patterns;
    for (const std::string& pattern : choice.patterns) {
        patterns << QString::fromStdString(pattern);
    }
    const QString filter =
        QString::fromStdString(choice.filterName) + " (" + patterns.join(' ') + ");;All files (*)";
    const QString title = QString::fromStdString(choice.title);
    // Without an owner: the bar is a dock, and a dialog kept on top of it would be kept small.
    const QString file =
        choice.purpose == FileChoice::Purpose::Open
            ? QFileDialog::getOpenFileName(nullptr, title, QDir::homePath(), filter)
            : QFileDialog::getSaveFileName(
                  nullptr, title,
                  QDir::home().filePath(QString::fromStdString(choice.suggestedName)), filter);
    if (file.isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(file.toStdString());
}

} // namespace quill::forms::qt
