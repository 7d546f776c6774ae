#pragma once

#include <QObject>
#include <QPoint>
#include <optional>

namespace quill::forms::qt {

// Where the pointer is, in the screen's logical pixels. While it is over one of the program's
// windows every move reaches the program as an event anyway, so a look then costs no round trip
// to the display server; elsewhere the server is asked.
class KnownPointer : public QObject {
public:
    KnownPointer();
    ~KnownPointer() override;
    KnownPointer(const KnownPointer&) = delete;
    KnownPointer& operator=(const KnownPointer&) = delete;

    QPoint position() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<QPoint> known_;
};

} // namespace quill::forms::qt
