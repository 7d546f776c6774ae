#pragma once

#include <QObject>
#include <QPoint>
#include <optional>

namespace quill::forms::qt {

// Where the pointer is on Wayland, which tells a client only while the pointer is over one of
// its windows; QCursor::pos() does not follow it there.
class WaylandPointer final : public QObject {
public:
    WaylandPointer();
    ~WaylandPointer() override;
    WaylandPointer(const WaylandPointer&) = delete;
    WaylandPointer& operator=(const WaylandPointer&) = delete;

    // The global position in logical pixels; null while the pointer is over none of our windows.
    std::optional<QPoint> position() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPoint last_;
};

} // namespace quill::forms::qt
