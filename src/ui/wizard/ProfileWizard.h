#pragma once

#include "app/WizardFlow.h"
#include "base/ProgramSettings.h"
#include "components/EDirTree.h"
#include "profiles/ProfileRules.h"
#include "profiles/TProfile.h"

#include <QDialog>
#include <functional>
#include <map>
#include <optional>

class MessageBoxes;
class EEditDate;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QStackedWidget;
class QTabWidget;
class QToolButton;
class QTreeWidgetItem;

/// What the wizard needs of the program around it.
struct WizardContext
{
    MessageBoxes* dialogs = nullptr;
    /// The program-wide defaults: compression level, priority, file attributes.
    ProgramSettings settings;
    /// The names of the full-backup profiles, for building on one ("Aufbauend auf Vollbackup").
    std::vector<std::string> fullBackupNames;
    /// Whether another profile than the one edited has this name.
    std::function<bool(const std::string&)> nameTaken;
    /// Whether a folder holds a path on the disk, through links and bind mounts (empty: the
    /// paths are compared as written only).
    FolderHoldsOnDisk folderHolds;
    /// The places the folder tree shows and how it lists folders (tests use a temporary folder).
    std::vector<TreeRoot> roots;
    EDirTree::Lister lister;
    TreeStyle treeStyle = TreeStyle::style95;
    /// Where a new profile writes: the first removable medium, or empty.
    std::string defaultDestination;
    /// The mounted network file systems the network button offers.
    std::vector<TreeRoot> networkMounts;
    /// The label of the medium that holds a path (empty when it has none).
    std::function<std::string(const std::string&)> volumeLabel;
    /// Opens the manual at a page ("profiles.html#zip").
    std::function<void(const QString&)> help;
    /// Today, for the free list's first proposal.
    DateTime today = 0;
};

/// "Tresorio Profil Assistent": the one dialog in which a profile is described, for a new profile
/// and for editing one. Seven pages; "Fertigstellen" finishes from any of them once the entries
/// are sound. The rules between the controls keep the dialog free of meaningless combinations;
/// nothing reaches the profile until it is read back after the dialog was finished.
class ProfileWizard final : public QDialog
{
    Q_OBJECT

public:
    explicit ProfileWizard(WizardContext context, QWidget* parent = nullptr);
    ~ProfileWizard() override;
    Q_DISABLE_COPY_MOVE(ProfileWizard)

    /// Fills the controls from a profile (the edit command); sets the caption to its name.
    void ShowProfile(TProfile& profile);
    /// Reads the controls into a profile (new or edited); its run statistics stay.
    void ReadProfile(TProfile& profile, bool edited) const;
    /// Applies the advanced switch to the whole dialog.
    void CHBAdvancedCheck();

    /// Moves a page on or back, as the buttons do; false when the page did not change.
    bool Forward();
    bool Back();
    /// The current page (WizardPage).
    int page() const;
    /// The page sequence's own name ("Intro", "wie", …) of the current page.
    QString pageName() const;
    /// The source folders as chosen now (tree or list), with the ones the tree cannot show.
    std::vector<std::string> chosenSources() const;
    /// The sources that are not reachable now and are kept unless the user forgets them.
    const std::vector<std::string>& offlineSources() const { return m_offlineSources; }

    /// Why a profile name cannot be taken (empty, or the name of another profile), or nothing.
    static std::optional<std::string> NameRefusal(const QString& name,
                                                  const std::function<bool(const std::string&)>& taken);

    /// Replace the file dialogs (tests): a picked folder or program, or empty for cancelled.
    static std::function<QString(const QString& title)>& folderPicker();
    static std::function<QString(const QString& title)>& programPicker();

    // The controls, by the names the help and the tests know them by.
    QStackedWidget* NBWizard;
    QPushButton* BTCancel;
    QPushButton* BTBack;
    QPushButton* BTForward;
    QPushButton* BTReady;
    QPushButton* BTHelp;
    // "Intro"
    QLineEdit* EDProfilename;
    QCheckBox* CHBAdvanced;
    // "wie"
    QRadioButton* RBFull;
    QRadioButton* RBIncrement;
    QRadioButton* RBDifferential;
    QRadioButton* RBSync;
    QRadioButton* RBMove;
    QRadioButton* RBDelete;
    QRadioButton* RBArchive;
    QRadioButton* RBDate;
    QLabel* LBIncrFull;
    QComboBox* CBIncrFull;
    QRadioButton* RBDeleteNow;
    QRadioButton* RBDeleteRecycle;
    QCheckBox* CHBverify;
    QCheckBox* CHBbit;
    // "quelle"
    QLabel* LBSource;
    QTabWidget* PageControl1;
    EDirTree* EDirTreeWidget;
    QPlainTextEdit* MESelectedDirs;
    QLabel* LBOffline;
    QToolButton* BTForgetOffline;
    QCheckBox* CHBWithsub;
    QCheckBox* CHBWithEmpty;
    QCheckBox* CHBFollowLinks;
    QPlainTextEdit* MEFilterIncl;
    QPlainTextEdit* MEFilterExcl;
    // "ziel"
    QLabel* LBDestination;
    QLineEdit* EDDest;
    QToolButton* BBDestDr;
    QToolButton* BBDestNet;
    QCheckBox* CHBDelete;
    QCheckBox* CHBDiskname;
    QLineEdit* EDDiskname;
    QToolButton* SPBDiskname;
    QLabel* LBDestOverwrite;
    QCheckBox* CHBOverwrite;
    QSpinBox* SPEgenerations;
    QCheckBox* CHBSecurity;
    QLabel* LBSecurityNote;
    QLabel* LBNetUser;
    QLineEdit* EDNetUser;
    QLabel* LBNetpasswd;
    QLineEdit* EDNetPasswd;
    QCheckBox* CHBFTP;
    QLineEdit* EDFTPServer;
    QLabel* LBFTPMode;
    QComboBox* CBFTPMode;
    QCheckBox* CHBFTPPassive;
    // "compress"
    QCheckBox* CHBCompress;
    QLabel* LBFilename;
    QLineEdit* EDFilename;
    QCheckBox* CHBEncrypt;
    QLabel* LBPassword;
    QLineEdit* EDPassword;
    QLabel* LBPassword2;
    QLineEdit* EDPassword2;
    QCheckBox* CHBTemp;
    QLineEdit* EDTemp;
    QToolButton* SPBTemp;
    QCheckBox* CHBKompLevel;
    QLabel* LBComprMinus;
    QSlider* TRBCompression;
    QLabel* LBComprPlus;
    QCheckBox* CHBDelZip;
    QCheckBox* CHBDiskspan;
    QCheckBox* CHBDiskSpanErase;
    QLabel* LBMaxVolumeSize1;
    QSpinBox* EDMaxVolumeSize;
    QLabel* LBMaxVolumeSize2;
    // "wann"
    QRadioButton* RBNot;
    QRadioButton* RBHour;
    QSpinBox* SPEHour;
    QLabel* LBhour;
    QSpinBox* SPEMin;
    QLabel* LBMinute;
    QRadioButton* RBDay;
    std::array<QCheckBox*, 7> CHBWeekdays; // Mo … So
    QLabel* LBtime;
    QLineEdit* EDTime;
    QRadioButton* RBweek;
    QSpinBox* SPEweek;
    QLabel* LBweek;
    QComboBox* CBDay;
    QLabel* LBweek2;
    QLineEdit* EDweektime;
    QLabel* LBweek3;
    QRadioButton* RBMonth;
    QSpinBox* SPEMonthDay;
    QLabel* LBMonth;
    QLabel* LBMonth2;
    QLineEdit* EDMonthtime;
    QLabel* LBMonth3;
    QRadioButton* RBFree;
    QLineEdit* EDFree;
    QCheckBox* CHBMissedBackup;
    QCheckBox* CHBOnStartup;
    QCheckBox* CHBOnShutdown;
    EEditDate* EDBeginDate;
    QLineEdit* EDBeginTime;
    EEditDate* EDEndDate;
    QLineEdit* EDEndTime;
    // "option"
    QCheckBox* CHBPriority;
    QLabel* LBPriority1;
    QSlider* TRBPriority;
    QLabel* LBPriority2;
    QCheckBox* CHBFileTypes;
    QCheckBox* CHBSystem;
    QCheckBox* CHBHidden;
    QCheckBox* CHBReadOnly;
    QLineEdit* EDVor;
    QToolButton* SPBVor;
    QCheckBox* CHBVor;
    QLineEdit* EDNach;
    QToolButton* SPBNach;
    QCheckBox* CHBNach;
    QCheckBox* CHBshutdown;
    QCheckBox* CHBshutdownForce;

protected:
    void accept() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Building the pages (ProfileWizardPages.cpp).
    QWidget* buildIntroPage();
    QWidget* buildHowPage();
    QWidget* buildSourcePage();
    QWidget* buildDestPage();
    QWidget* buildCompressPage();
    QWidget* buildWhenPage();
    QWidget* buildOptionPage();
    QWidget* pageFrame(const QString& heading, QWidget* content);
    void connectRules();

    // Navigation (ProfileWizard.cpp).
    void showPage(int page);
    void pageShown(int page);
    void setCaption(const QString& name);
    void finish();
    /// The first entry that cannot be stored: its page, field and message.
    bool validate();
    void refuse(int page, QWidget* field, const std::string& message);
    bool leaveDestinationPage();
    void keepFocusOn(QPushButton* button);
    WizardFlow flow() const;

    // The rules between the controls (ProfileWizardRules.cpp).
public:
    void RBBackupTypeClick();
    void RBArchiveClick();
    void RBDateClick();
    void GetFull();
    void CHBverifyClick();
    void CHBWithsubClick();
    void CHBSecurityClick();
    void CHBFTPClick();
    void CHBDisknameClick();
    void SPBDisknameClick();
    void CHBoverwriteClick();
    void CHBcompressClick();
    void CHBTempClick();
    void CHBKompLevelClick();
    void CHBEncryptClick();
    bool EDPassword2Exit();
    void CHBDiskspanClick();
    void EDMaxVolumeSizeExit();
    void SetPeriod();
    void SPEMinExit();
    void CHBshutdownClick();
    void CHBPriorityClick();
    void CHBFileTypesClick();
    void BBDestDrClick();
    void BBDestNetClick();
    void SPBTempClick();
    void SPBVorClick();
    void SPBNachClick();
    /// Carries the chosen folders over to the tab that becomes active.
    void sourceTabChanged(int tab);

private:
    /// Normalises a time field when it is left.
    void normaliseTimes(QLineEdit* field);
    void pickProgram(QLineEdit* field);
    void forgetOffline();
    void showOffline();
    /// The source lines of the "Liste" tab for these folders, and the folders its lines stand for:
    /// a name that is not UTF-8 is shown with replacement characters, and its line keeps standing
    /// for its own bytes.
    QString sourceLines(const std::vector<std::string>& folders);
    std::vector<std::string> typedSources() const;
    /// A synchronisation takes one folder: the first one chosen stays, in the tree and the list.
    void keepOneSource();
    /// After a tick in the tree of a synchronisation: the folder ticked is the only one.
    void treeItemChanged(QTreeWidgetItem* item);
    /// A password or user name longer than the profile file carries, refused.
    bool validateLimits();
    /// Whether the last backup of the date fields lies before the first (the profile never runs).
    bool lastBeforeFirst() const;

    WizardContext m_context;
    std::vector<QWidget*> m_advancedOnly; // shown only in advanced mode
    std::vector<std::string> m_offlineSources;
    std::map<QString, std::string> m_rawLines; // list lines of folders whose names are not UTF-8
    QTreeWidgetItem* m_syncClicked = nullptr;  // the folder a click or the space bar acts on
    std::string m_netPasswordBuffer;
    int m_sourceTab = 0;
    bool m_sourceTabSwitching = false;
    bool m_finished = false;
    bool m_whenShown = false;       // the schedule page was shown
    QWidget* m_pageFocus = nullptr; // the field the page shown waits for
    bool m_sourcesRevealed = false; // the tree was opened down to the chosen folders
};
