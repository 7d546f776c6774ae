#include "forms/qt/NativeControls.h"

#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/GuardedCall.h"
#include "forms/ListBox.h"
#include "forms/OptionButton.h"
#include "forms/TextBox.h"
#include "forms/qt/NativeCaptions.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace quill::forms::qt {

namespace {

QString toQString(const std::string& text) {
    return QString::fromStdString(text);
}

void syncList(QListWidget& widget, const ListBox& list) {
    const auto& items = list.items();
    const int count = list.listCount();
    while (widget.count() > count) {
        delete widget.takeItem(widget.count() - 1);
    }
    for (int row = 0; row < count; ++row) {
        const QString text = toQString(items[static_cast<std::size_t>(row)]);
        if (row >= widget.count()) {
            widget.addItem(text);
        } else if (widget.item(row)->text() != text) {
            widget.item(row)->setText(text);
        }
    }
    if (widget.currentRow() != list.listIndex()) {
        widget.setCurrentRow(list.listIndex());
    }
    if (list.listIndex() < 0) {
        widget.clearSelection();
    }
}

void syncText(QWidget& widget, const TextBox& box) {
    const QString text = toQString(box.text());
    if (auto* edit = qobject_cast<QLineEdit*>(&widget); edit && edit->text() != text) {
        edit->setText(text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(&widget);
               plain && plain->toPlainText() != text) {
        plain->setPlainText(text);
    }
}

QWidget* makeList(ListBox& list, QWidget& host) {
    auto* widget = new QListWidget(&host);
    widget->setSelectionMode(QAbstractItemView::SingleSelection);
    QObject::connect(widget, &QListWidget::currentRowChanged, widget, [&list](int row) {
        if (row != list.listIndex()) {
            callGuarded([&] { list.setListIndex(row); });
        }
    });
    return widget;
}

QWidget* makeTextBox(TextBox& box, QWidget& host) {
    if (box.multiLine()) {
        auto* widget = new QPlainTextEdit(&host);
        QObject::connect(widget, &QPlainTextEdit::textChanged, widget, [&box, widget] {
            callGuarded([&] { box.setText(widget->toPlainText().toStdString()); });
        });
        return widget;
    }
    auto* widget = new QLineEdit(&host);
    QObject::connect(widget, &QLineEdit::textEdited, widget, [&box](const QString& text) {
        callGuarded([&] { box.setText(text.toStdString()); });
    });
    return widget;
}

QWidget* makeButton(CommandButton& button, QWidget& host) {
    auto* widget = new QPushButton(toQString(button.caption()), &host);
    QObject::connect(widget, &QPushButton::clicked, widget,
                     [&button] { callGuarded([&] { button.press(); }); });
    return widget;
}

QWidget* makeOption(OptionButton& option, QWidget& host) {
    // The model clears the other options of the container; the widgets only follow it.
    auto* widget = new QRadioButton(toQString(option.caption()), &host);
    widget->setAutoExclusive(false);
    QObject::connect(widget, &QRadioButton::clicked, widget,
                     [&option] { callGuarded([&] { option.setValue(true); }); });
    return widget;
}

QWidget* makeFrame(const Frame& frame, QWidget& host) {
    // Its contents are the host's children stacked above it, and the host draws its labels, so
    // the pointer must pass through to them.
    auto* widget = new QGroupBox(toQString(frame.caption()), &host);
    widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    return widget;
}

} // namespace

QWidget* NativeControls::widget(const Control& control) const {
    const auto found = widgets_.find(&control);
    return found == widgets_.end() ? nullptr : found->second;
}

bool NativeControls::inView(const Control& control) const {
    return geometry_.rect(control).translated(origin_).intersects(host_.rect());
}

void NativeControls::showIn(const Form& form) {
    active_ = true;
    bool created = false;
    for (const Control* control : form.controls()) {
        if (!kinds_.native(*control)) {
            continue;
        }
        noteContainers(*control);
        if (widget(*control) == nullptr && inView(*control)) {
            sync(*control, *create(*control));
            created = true;
        }
    }
    if (created) {
        restack(form);
    }
}

void NativeControls::setOrigin(const Form& form, QPoint origin) {
    origin_ = origin;
    for (const Control* control : form.controls()) {
        if (QWidget* found = widget(*control)) {
            sync(*control, *found);
        }
    }
    if (active_) {
        showIn(form);
    }
}

void NativeControls::changed(const Control& control) {
    if (!active_) {
        return;
    }
    if (kinds_.native(control)) {
        QWidget* found = widget(control);
        if (found == nullptr && inView(control)) {
            found = create(control);
            sync(control, *found);
            restack(control.form());
        } else if (found != nullptr) {
            sync(control, *found);
        }
    }
    if (const Container* container = kinds_.asContainer(control);
        container != nullptr && hosts_.contains(container)) {
        for (const Control* child : container->children()) {
            changed(*child);
        }
    }
}

void NativeControls::noteContainers(const Control& control) {
    for (const Control* c = &control; c != nullptr; c = kinds_.asControl(c->parent())) {
        hosts_.insert(&c->parent());
    }
}

QWidget* NativeControls::create(const Control& control) {
    noteContainers(control);
    // Changes reach the peer through const pointers; user input goes back into the same control.
    auto& model = const_cast<Control&>(control);
    QWidget* made = nullptr;
    switch (kinds_.of(control)) {
    case ControlKind::ListBox:
        made = makeList(static_cast<ListBox&>(model), host_);
        break;
    case ControlKind::TextBox:
        made = makeTextBox(static_cast<TextBox&>(model), host_);
        break;
    case ControlKind::CommandButton:
        made = makeButton(static_cast<CommandButton&>(model), host_);
        break;
    case ControlKind::OptionButton:
        made = makeOption(static_cast<OptionButton&>(model), host_);
        break;
    default:
        made = makeFrame(static_cast<const Frame&>(control), host_);
        break;
    }
    widgets_[&control] = made;
    return made;
}

void NativeControls::sync(const Control& control, QWidget& widget) {
    const QSignalBlocker blocker(&widget);
    switch (kinds_.of(control)) {
    case ControlKind::ListBox:
        syncList(static_cast<QListWidget&>(widget), static_cast<const ListBox&>(control));
        break;
    case ControlKind::TextBox:
        syncText(widget, static_cast<const TextBox&>(control));
        break;
    case ControlKind::OptionButton:
        static_cast<QRadioButton&>(widget).setChecked(
            static_cast<const OptionButton&>(control).value());
        break;
    default:
        break;
    }
    const QRect rect = geometry_.rect(control).translated(origin_);
    if (widget.geometry() != rect) {
        widget.setGeometry(rect);
    }
    fitCaption(control, widget);
    const bool shown = kinds_.shownWithContainers(control);
    if (widget.isHidden() == shown) {
        widget.setVisible(shown);
    }
}

void NativeControls::fitCaption(const Control& control, QWidget& widget) {
    const ControlKind kind = kinds_.of(control);
    if (kind != ControlKind::CommandButton && kind != ControlKind::OptionButton &&
        kind != ControlKind::Frame) {
        return;
    }
    QSize& fittedTo = captionFittedTo_[&widget];
    if (fittedTo == widget.size()) {
        return;
    }
    fittedTo = widget.size();
    const QFont& font = host_.font();
    switch (kind) {
    case ControlKind::CommandButton:
        qt::fitCaption(static_cast<QPushButton&>(widget),
                       toQString(static_cast<const CommandButton&>(control).caption()), font);
        break;
    case ControlKind::OptionButton:
        qt::fitCaption(static_cast<QRadioButton&>(widget),
                       toQString(static_cast<const OptionButton&>(control).caption()), font);
        break;
    default:
        qt::fitCaption(static_cast<QGroupBox&>(widget),
                       toQString(static_cast<const Frame&>(control).caption()), font);
        break;
    }
}

void NativeControls::restack(const Form& form) {
    // Later controls lie above earlier ones, and a frame's contents above the frame.
    for (const Control* control : form.controls()) {
        if (QWidget* found = widget(*control)) {
            found->raise();
        }
    }
}

} // namespace quill::forms::qt
