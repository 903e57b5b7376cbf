#pragma once
// The "Options / Help" tab: whether the report opens after a run, whether a run goes on past
// a drawing that cannot be converted, the help tips switch and the help window.

#include <QWidget>

#include "platform/ProgramPaths.h"

class QAction;
class QCheckBox;
class QPushButton;
class QRadioButton;

namespace quarrow {

class HelpBrowser;
class SettingsStore;
class TooltipSwitch;

class OptionsTab final : public QWidget {
    Q_OBJECT
public:
    OptionsTab(SettingsStore& settings, TooltipSwitch& tooltips, const ProgramPaths& paths);

    // Start-up: the help tips, the report option and the keep-going option as the settings
    // hold them.
    void RestoreSettings();

    bool ShowReport() const { return showReport_; }
    // A drawing that ends on an error is reported and the run goes on with the next one.
    bool KeepGoing() const;

    void onAlwaysShowReportClicked();
    void onNeverShowReportClicked();
    void onHelpTipsClicked(bool checked);
    void onKeepGoingClicked(bool checked);
    void onShowHelpClicked();
    // The window's Help command, pressed by the help button.
    void BindHelp(QAction* help);
    HelpBrowser* HelpWindow() const { return help_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SettingsStore& settings_;
    TooltipSwitch& tooltips_;
    const ProgramPaths& paths_;
    bool showReport_ = false;

    QWidget* group_ = nullptr;
    QPushButton* helpButton_ = nullptr;
    QRadioButton* alwaysReportRadio_ = nullptr;
    QRadioButton* neverReportRadio_ = nullptr;
    QCheckBox* helpTipsCheck_ = nullptr;
    QCheckBox* keepGoingCheck_ = nullptr;
    HelpBrowser* help_ = nullptr;
};

}  // namespace quarrow
