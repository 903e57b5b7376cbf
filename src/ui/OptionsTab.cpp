#include "ui/OptionsTab.h"

#include <QCoreApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/SettingsStore.h"
#include "ui/HelpBrowser.h"
#include "ui/Images.h"
#include "ui/TabParts.h"
#include "ui/TooltipSwitch.h"

namespace quarrow {

OptionsTab::OptionsTab(SettingsStore& settings, TooltipSwitch& tooltips, const ProgramPaths& paths)
    : settings_(settings), tooltips_(tooltips), paths_(paths) {
    setObjectName(QStringLiteral("TabSheet2"));
    auto* tabLayout = new QVBoxLayout(this);
    tabLayout->setContentsMargins(3, 3, 3, 3);
    auto* group = MakeGroup("GroupBox5", " Options / Help ", false);
    group->setFixedHeight(124);
    group_ = group;
    tabLayout->addWidget(group);
    tabLayout->addStretch();

    auto* picture = new QLabel(group);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(Images::Options().pixmap(32, 32));
    picture->setGeometry(16, 36, 32, 32);
    auto* heading = new QLabel(QStringLiteral("After process:"), group);
    heading->setObjectName(QStringLiteral("Label29"));
    heading->move(56, 16);
    alwaysReportRadio_ = new QRadioButton(QStringLiteral("Always show Report."), group);
    alwaysReportRadio_->setObjectName(QStringLiteral("rep1"));
    alwaysReportRadio_->move(64, 36);
    neverReportRadio_ = new QRadioButton(QStringLiteral("Never show Report."), group);
    neverReportRadio_->setObjectName(QStringLiteral("rep3"));
    neverReportRadio_->move(64, 56);
    helpTipsCheck_ = new QCheckBox(QStringLiteral("Show Help Tips"), group);
    helpTipsCheck_->setObjectName(QStringLiteral("shelptips"));
    helpTipsCheck_->move(20, 76);
    keepGoingCheck_ = new QCheckBox(
        QStringLiteral("Go on with the next file when one cannot be converted"), group);
    keepGoingCheck_->setObjectName(QStringLiteral("cbKeepGoing"));
    keepGoingCheck_->setToolTip(
        QStringLiteral("A drawing that ends on an error gets no Data file and is named in the "
                       "report and the summary; the files after it are still converted"));
    keepGoingCheck_->move(20, 98);
    auto* help = new QPushButton(Images::Help(), QStringLiteral(" Show Help file"), group);
    help->setObjectName(QStringLiteral("BitBtn7"));
    help->setIconSize(QSize(32, 32));
    help->resize(137, 73);
    helpButton_ = help;
    // The help button stays on the group's right edge whatever the window's width.
    group->installEventFilter(this);

    connect(alwaysReportRadio_, &QRadioButton::clicked, this,
            &OptionsTab::onAlwaysShowReportClicked);
    connect(neverReportRadio_, &QRadioButton::clicked, this, &OptionsTab::onNeverShowReportClicked);
    connect(helpTipsCheck_, &QCheckBox::clicked, this, &OptionsTab::onHelpTipsClicked);
    connect(keepGoingCheck_, &QCheckBox::clicked, this, &OptionsTab::onKeepGoingClicked);
}

void OptionsTab::RestoreSettings() {
    const bool tips = settings_.ReadFlag(SettingName::ShowTips);
    helpTipsCheck_->setChecked(tips);
    tooltips_.SetEnabled(tips);

    // Off unless the user turned it on: a run then stops at the first drawing that fails.
    keepGoingCheck_->setChecked(settings_.ReadFlag(SettingName::KeepGoing));

    // Neither report option is chosen until the user picks one.
    if (settings_.IsFlag(SettingName::ShowLog)) {
        showReport_ = settings_.ReadFlag(SettingName::ShowLog);
        (showReport_ ? alwaysReportRadio_ : neverReportRadio_)->setChecked(true);
    }
}

bool OptionsTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == group_ && event->type() == QEvent::Resize)
        helpButton_->move(group_->width() - helpButton_->width() - 6,
                          group_->height() - helpButton_->height() - 6);
    return QWidget::eventFilter(watched, event);
}

void OptionsTab::onAlwaysShowReportClicked() {
    settings_.WriteFlag(SettingName::ShowLog, true);
    showReport_ = true;
}

void OptionsTab::onNeverShowReportClicked() {
    settings_.WriteFlag(SettingName::ShowLog, false);
    showReport_ = false;
}

void OptionsTab::onHelpTipsClicked(bool checked) {
    settings_.WriteFlag(SettingName::ShowTips, checked);
    tooltips_.SetEnabled(checked);
}

void OptionsTab::BindHelp(QAction* help) {
    BindButton(helpButton_, help);
}

bool OptionsTab::KeepGoing() const {
    return keepGoingCheck_->isChecked();
}

void OptionsTab::onKeepGoingClicked(bool checked) {
    settings_.WriteFlag(SettingName::KeepGoing, checked);
}

void OptionsTab::onShowHelpClicked() {
    // The help window reports a missing file itself; it is not modal, nothing waits for it.
    // It belongs to the main window, as the other windows of the program do.
    if (!help_)
        help_ = new HelpBrowser(window());
    help_->ShowFile(FindHelpFile(paths_.HelpFilePath, QCoreApplication::applicationDirPath()));
    help_->show();
    help_->raise();
}

}  // namespace quarrow
