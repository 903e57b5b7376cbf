#pragma once
// The pieces the tabs are built of: captioned groups and the cream toolbar panel with its
// image-above-caption buttons.

class QAbstractButton;
class QAction;
class QGroupBox;
class QToolBar;
class QToolButton;
class QWidget;

namespace quarrow {

// A group box named for the saved layouts and the tests; a bold caption where asked.
QGroupBox* MakeGroup(const char* name, const char* caption, bool bold);

// A cream panel with a toolbar of image-above-caption buttons along its bottom.
QWidget* MakeToolbarPanel(const char* name, QToolBar*& toolbar);

// Makes a button press the action and follow its enabled state; the button keeps its own
// caption, picture and hint.
void BindButton(QAbstractButton* button, QAction* action);

QToolButton* AddToolButton(QToolBar* toolbar, const char* name, const char* caption,
                           const char* hint, int image, int width);

}  // namespace quarrow
