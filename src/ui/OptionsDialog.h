#pragma once

#include "base/ProgramSettings.h"

#include <QDialog>
#include <functional>

class Dialogs;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QSlider;
class QSpinBox;
class QTabWidget;

/// What the options dialog changes outside the settings it edits.
struct OptionsServices
{
    Dialogs* dialogs = nullptr;
    /// Whether the program starts with the session, and switching it.
    std::function<bool()> autostart;
    std::function<bool(bool)> setAutostart;
    /// Language, menu layout and colours apply at once (and stay when the dialog is cancelled).
    std::function<void(int)> setLanguage;
    std::function<void(int, int)> setSkin;
    /// "Protokoll löschen": asks and deletes the log.
    std::function<bool()> deleteLog;
};

/// "Optionen": the program-wide settings in five pages. The settings in memory change on "&OK"
/// and reach settings.ini at the next save point; language, menu layout and colours change at
/// once.
class OptionsDialog final : public QDialog
{
    Q_OBJECT

public:
    OptionsDialog(ProgramSettings& settings, OptionsServices services, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(OptionsDialog)

    void accept() override;

protected:
    void changeEvent(QEvent* event) override;

public:
    /// The largest log Tresorio keeps, in kilobytes (2 GB).
    static constexpr int MaxLogSize = MaxLogSizeKb;

    QTabWidget* Pages = nullptr;
    QRadioButton* RBStartup;
    QRadioButton* RBnostart;
    QSpinBox* SPEWait;
    QComboBox* CBSprache;
    QButtonGroup* RGSkins;
    QButtonGroup* RGColors;
    QLineEdit* EDSize;
    QPushButton* BTDeleteLog;
    QCheckBox* CHBAll;
    QCheckBox* CHBError;
    QCheckBox* CHBProfile;
    QCheckBox* CHBShowError;
    QCheckBox* CHBNotifySuccess;
    QSpinBox* SPEOverdueDays;
    QLineEdit* EDRunOnFailure;
    QSlider* TRBPriority;
    QCheckBox* CHBSystem;
    QCheckBox* CHBHidden;
    QCheckBox* CHBReadOnly;
    QSlider* TRBCompression;
    QPlainTextEdit* MEFTPTransferEXT;
    QCheckBox* CHBAutoUpdate;
    QSpinBox* SPEAutoUpdateNext;
    QLineEdit* EDAutoUpdateProxy;
    QPushButton* BTOk;
    QPushButton* BTCancel;

private:
    QWidget* generalPage();
    QWidget* logPage();
    QWidget* backupPage();
    QWidget* ftpPage();
    QWidget* updatePage();
    void build();
    void rebuild();
    void fill(const ProgramSettings& shown, bool autostart);
    /// The values of the controls (all but the log size and the autostart choice) into s.
    void collect(ProgramSettings& s) const;
    void startupClicked();
    void autoUpdateClicked();
    void skinClicked();

    ProgramSettings& m_settings;
    OptionsServices m_services;
    QList<QWidget*> m_waitControls;
    QList<QWidget*> m_updateControls;
    QList<QRadioButton*> m_colourButtons;
    QWidget* m_buttons = nullptr;
};
