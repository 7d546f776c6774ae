#pragma once

#include <QObject>
#include <QPoint>
#include <optional>

namespace quill::forms::qt {

// Where the pointer is, in the screen's logical pixels. While it is over one of the program's
// windows every move reaches the program as an event anyway, so a look then costs no round trip
// to the display server; elsewhere the server is asked, where it tells (X11; a Wayland
// compositor tells a client nothing about a pointer outside its windows).
class KnownPointer : public QObject {
public:
    explicit KnownPointer(bool serverTells);
    ~KnownPointer() override;
    KnownPointer(const KnownPointer&) = delete;
    KnownPointer& operator=(const KnownPointer&) = delete;

    // Null when the pointer is elsewhere and the server does not tell.
    std::optional<QPoint> position() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool serverTells_;
    std::optional<QPoint> known_;
};

} // namespace quill::forms::qt
