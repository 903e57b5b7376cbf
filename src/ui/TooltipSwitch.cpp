#include "ui/TooltipSwitch.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

namespace quarrow {

TooltipSwitch::TooltipSwitch(QObject* parent) : QObject(parent) {}

bool TooltipSwitch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return false;
    if (!enabled_)
        return true;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr)
        return false;
    auto* help = static_cast<QHelpEvent*>(event);
    QString text;
    // A view's rows carry their own hints; the viewport is what receives the event.
    if (auto* view = qobject_cast<QAbstractItemView*>(widget->parentWidget());
        view != nullptr && view->viewport() == widget) {
        text = view->indexAt(help->pos()).data(Qt::ToolTipRole).toString();
    } else {
        text = widget->toolTip();
    }
    if (text.isEmpty()) {
        QToolTip::hideText();
        return true;
    }
    QToolTip::showText(help->globalPos(), text, widget, {}, kTooltipDisplayMs);
    return true;
}

}  // namespace quarrow
