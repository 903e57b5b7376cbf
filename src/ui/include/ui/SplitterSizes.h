#pragma once
// The positions of a splitter as the settings keep them: its sizes as decimal text ("620,540"),
// applied as relative weights, so they mean the same at another window size.

#include <QList>
#include <QString>

class QSplitter;

namespace quarrow {

// Returns the splitter's sizes as "a,b,..."; empty for a splitter never laid out (unless
// sizes given to it wait for its first showing).
QString SplitterSizesText(const QSplitter& splitter);

// Returns the sizes of a text written by SplitterSizesText for a splitter of count panes;
// empty when the text is malformed, of another count, negative or all zero.
QList<int> ParseSplitterSizes(const QString& text, int count);

// Applies the sizes as weights: at once when the splitter is shown, else as it is first shown
// (a tab not opened yet). Sizes of another count change nothing. firstKeepsItsHint: the first
// of two panes gets at least the size it asks for (default proportions on a small window).
void ApplySplitterSizes(QSplitter& splitter, const QList<int>& sizes,
                        bool firstKeepsItsHint = false);

}  // namespace quarrow
