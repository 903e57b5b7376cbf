#include "ui/TabParts.h"

#include <QAbstractButton>
#include <QAction>
#include <QColor>
#include <QGroupBox>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/Images.h"

namespace quarrow {
namespace {

const QColor kToolbarCream(255, 251, 240);

}  // namespace

QGroupBox* MakeGroup(const char* name, const char* caption, bool bold) {
    auto* group = new QGroupBox(QString::fromLatin1(caption));
    group->setObjectName(QString::fromLatin1(name));
    if (bold)
        group->setStyleSheet(
            QStringLiteral("QGroupBox#%1 { font-weight: bold; }").arg(QString::fromLatin1(name)));
    return group;
}

QWidget* MakeToolbarPanel(const char* name, QToolBar*& toolbar) {
    auto* panel = new QWidget;
    panel->setObjectName(QString::fromLatin1(name));
    panel->setMinimumHeight(50);  // grows where the platform's captions need more
    panel->setAttribute(Qt::WA_StyledBackground);
    panel->setStyleSheet(QStringLiteral("#%1, #%1 QToolBar { background: rgb(%2, %3, %4); "
                                        "border: none; }")
                             .arg(panel->objectName())
                             .arg(kToolbarCream.red())
                             .arg(kToolbarCream.green())
                             .arg(kToolbarCream.blue()));
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch();
    toolbar = new QToolBar(panel);
    toolbar->setMinimumHeight(44);
    toolbar->setIconSize(QSize(24, 24));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    layout->addWidget(toolbar);
    return panel;
}

void BindButton(QAbstractButton* button, QAction* action) {
    QObject::connect(button, &QAbstractButton::clicked, action, [action] { action->trigger(); });
    const auto follow = [button, action] { button->setEnabled(action->isEnabled()); };
    QObject::connect(action, &QAction::changed, button, follow);
    follow();
}

QToolButton* AddToolButton(QToolBar* toolbar, const char* name, const char* caption,
                           const char* hint, int image, int width) {
    auto* button = new QToolButton(toolbar);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QString::fromLatin1(caption));
    button->setToolTip(QString::fromLatin1(hint));
    button->setIcon(Images::Toolbar(image));
    button->setIconSize(QSize(24, 24));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setMinimumWidth(width);
    toolbar->addWidget(button);
    return button;
}

}  // namespace quarrow
