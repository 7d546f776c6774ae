#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <optional>

namespace quill::forms::qt {

// Where the pointer is, in the screen's logical pixels. While it moves over one of the program's
// windows every move reaches the program as an event anyway, so a look then costs no round trip
// to the display server; elsewhere, or once the last event is older than kTrustedMs, the server
// is asked, where it tells (X11; a Wayland compositor tells a client nothing about a pointer
// outside its windows). The age limit matters: a pointer can leave without a leave event, as
// when a menu or a dialog held it, and the window's last event then says it never went.
class KnownPointer : public QObject {
public:
    static constexpr qint64 kTrustedMs = 100;

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
    QElapsedTimer age_;
};

} // namespace quill::forms::qt
