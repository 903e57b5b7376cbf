#include "ui/FocusFrameStyle.h"

#include <QPainter>
#include <QStyleOption>

namespace quarrow {
namespace {

void DrawFocusFrame(const QStyleOption& option, const QRect& rect, QPainter* painter) {
    // On a selected row the highlight colour would vanish into the selection.
    const QColor colour = option.palette.color(
        (option.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Highlight);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(QPen(colour, 1.5, Qt::SolidLine));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(QRectF(rect).adjusted(0.75, 0.75, -0.75, -0.75), 2, 2);
    painter->restore();
}

}  // namespace

void FocusFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                    QPainter* painter, const QWidget* widget) const {
    if (element == PE_FrameFocusRect)
        DrawFocusFrame(*option, option->rect, painter);
    else
        QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void FocusFrameStyle::drawControl(ControlElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element == CE_PushButton && (option->state & State_HasFocus))
        DrawFocusFrame(*option, option->rect.adjusted(2, 2, -2, -2), painter);
}

}  // namespace quarrow
