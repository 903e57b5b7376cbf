#pragma once
// One switch for every tooltip of the program: control hints, tree row hints and cut cells
// alike. Tooltips it lets through stay on screen for 9 seconds.

#include <QObject>

namespace quarrow {

inline constexpr int kTooltipDisplayMs = 9000;

class TooltipSwitch final : public QObject {
    Q_OBJECT
public:
    explicit TooltipSwitch(QObject* parent = nullptr);

    void SetEnabled(bool on) { enabled_ = on; }
    bool IsEnabled() const { return enabled_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool enabled_ = false;
};

}  // namespace quarrow
