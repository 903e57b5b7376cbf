#include "ui/FocusFrameStyle.h"

#include <QPainter>
#include <QStyleOption>

namespace quarrow {

void FocusFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                    QPainter* painter, const QWidget* widget) const {
    if (element != PE_FrameFocusRect) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // On a selected row the highlight colour would vanish into the selection.
    const QColor colour = option->palette.color(
        (option->state & State_Selected) ? QPalette::HighlightedText : QPalette::Highlight);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(QPen(colour, 1.5, Qt::SolidLine));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(QRectF(option->rect).adjusted(0.75, 0.75, -0.75, -0.75), 2, 2);
    painter->restore();
}

}  // namespace quarrow
