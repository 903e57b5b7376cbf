#pragma once
// The platform's style with a keyboard focus frame that is always drawn: Fusion draws it only
// after the focus moved by Tab, and not at all on some controls, so a user of the keyboard
// cannot see where a key press lands.

#include <QProxyStyle>

namespace quarrow {

class FocusFrameStyle final : public QProxyStyle {
    Q_OBJECT
public:
    // Wraps the application's default style.
    FocusFrameStyle() = default;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    // Push buttons get the frame too: Fusion draws theirs only after a Tab.
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};

}  // namespace quarrow
