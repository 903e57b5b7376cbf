#include "ui/SplitterSizes.h"

#include <QEvent>
#include <QSplitter>
#include <QStringList>
#include <algorithm>

namespace quarrow {
namespace {

// Sets sizes as weights of the room the splitter has: given as they are, the room left over
// would go by the stretch factors instead.
void SetWeights(QSplitter& splitter, const QList<int>& weights, bool firstKeepsItsHint) {
    const int handles = splitter.handleWidth() * (splitter.count() - 1);
    const int room =
        (splitter.orientation() == Qt::Horizontal ? splitter.width() : splitter.height()) - handles;
    qint64 total = 0;
    for (int weight : weights)
        total += weight;
    if (room <= 0 || total <= 0)
        return;
    QList<int> sizes;
    for (int weight : weights)
        sizes << int(qint64(weight) * room / total);
    const QWidget* first = splitter.widget(0);
    const int hint = first == nullptr                           ? 0
                     : splitter.orientation() == Qt::Horizontal ? first->sizeHint().width()
                                                                : first->sizeHint().height();
    if (firstKeepsItsHint && sizes.size() == 2 && sizes[0] < hint) {
        sizes[0] = std::min(hint, room);
        sizes[1] = room - sizes[0];
    }
    splitter.setSizes(sizes);
}

const QString kPendingName = QStringLiteral("PendingSplitterSizes");

QString SizesText(const QList<int>& sizes) {
    QStringList parts;
    for (int size : sizes)
        parts << QString::number(size);
    return parts.join(QLatin1Char(','));
}

// Sets the sizes once the splitter is first shown (laid out by then), then goes.
class ApplyWhenShown final : public QObject {
public:
    ApplyWhenShown(QSplitter& splitter, QList<int> sizes, bool firstKeepsItsHint)
        : QObject(&splitter), splitter_(splitter), sizes_(std::move(sizes)),
          firstKeepsItsHint_(firstKeepsItsHint) {
        setObjectName(kPendingName);
        splitter.installEventFilter(this);
    }
    const QList<int>& Sizes() const { return sizes_; }
    bool Defaults() const { return firstKeepsItsHint_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &splitter_ && event->type() == QEvent::Show) {
            splitter_.removeEventFilter(this);
            // After the splitter's own first layout, which this event starts.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    SetWeights(splitter_, sizes_, firstKeepsItsHint_);
                    setObjectName(QString());
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    QSplitter& splitter_;
    QList<int> sizes_;
    bool firstKeepsItsHint_;
};

// Each pane's weight is a pixel count of some earlier window; more than any screen is no size.
constexpr int kMaxPaneSize = 100'000;

}  // namespace

QString SplitterSizesText(const QSplitter& splitter) {
    // Never shown since the sizes were given (a tab not opened): those sizes still hold, or
    // the defaults do, which are no one's choice to keep.
    if (const auto* pending = static_cast<const ApplyWhenShown*>(
            splitter.findChild<QObject*>(kPendingName, Qt::FindDirectChildrenOnly)))
        return pending->Defaults() ? QString() : SizesText(pending->Sizes());
    // Never laid out (a tab never opened, nothing saved): no sizes to keep.
    const QList<int> sizes = splitter.sizes();
    if (std::all_of(sizes.begin(), sizes.end(), [](int size) { return size == 0; }))
        return {};
    return SizesText(sizes);
}

QList<int> ParseSplitterSizes(const QString& text, int count) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != count)
        return {};
    QList<int> sizes;
    int total = 0;
    for (const QString& part : parts) {
        bool ok = false;
        const int size = part.trimmed().toInt(&ok, 10);
        if (!ok || size < 0 || size > kMaxPaneSize)
            return {};
        sizes << size;
        total += size;
    }
    return total > 0 ? sizes : QList<int>();
}

void ApplySplitterSizes(QSplitter& splitter, const QList<int>& sizes, bool firstKeepsItsHint) {
    if (sizes.size() != splitter.count())
        return;
    delete splitter.findChild<QObject*>(kPendingName, Qt::FindDirectChildrenOnly);
    if (splitter.isVisible())
        SetWeights(splitter, sizes, firstKeepsItsHint);
    else
        new ApplyWhenShown(splitter, sizes, firstKeepsItsHint);
}

}  // namespace quarrow
