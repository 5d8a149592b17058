// The rules between the wizard's controls: each runs when its control is clicked or left and
// whenever another rule or the showing of a page asks for it, so no page relies on states left
// from an earlier one.

#include "components/EEditDate.h"
#include "scheduler/ScheduleText.h"
#include "ui/MessageBoxes.h"
#include "ui/wizard/ProfileWizard.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidgetItemIterator>

namespace {

void EnableAll(std::initializer_list<QWidget*> widgets, bool enabled)
{
    for (QWidget* widget : widgets)
        widget->setEnabled(enabled);
}

/// Runs rule when the control is clicked (not when a program sets it: the callers run the rules
/// they need themselves).
template <typename Rule> void OnClick(QAbstractButton* button, ProfileWizard* wizard, Rule rule)
{
    QObject::connect(button, &QAbstractButton::clicked, wizard, [wizard, rule] { (wizard->*rule)(); });
}

} // namespace

std::function<QString(const QString&)>& ProfileWizard::folderPicker()
{
    static std::function<QString(const QString&)> picker;
    return picker;
}

std::function<QString(const QString&)>& ProfileWizard::programPicker()
{
    static std::function<QString(const QString&)> picker;
    return picker;
}

void ProfileWizard::connectRules()
{
    for (QRadioButton* radio : {RBFull, RBIncrement, RBDifferential, RBSync, RBMove, RBDelete})
        OnClick(radio, this, &ProfileWizard::RBBackupTypeClick);
    OnClick(RBArchive, this, &ProfileWizard::RBArchiveClick);
    OnClick(RBDate, this, &ProfileWizard::RBDateClick);
    OnClick(CHBverify, this, &ProfileWizard::CHBverifyClick);
    OnClick(CHBWithsub, this, &ProfileWizard::CHBWithsubClick);
    OnClick(CHBSecurity, this, &ProfileWizard::CHBSecurityClick);
    OnClick(CHBFTP, this, &ProfileWizard::CHBFTPClick);
    OnClick(CHBDiskname, this, &ProfileWizard::CHBDisknameClick);
    OnClick(SPBDiskname, this, &ProfileWizard::SPBDisknameClick);
    OnClick(CHBOverwrite, this, &ProfileWizard::CHBoverwriteClick);
    OnClick(CHBCompress, this, &ProfileWizard::CHBcompressClick);
    OnClick(CHBTemp, this, &ProfileWizard::CHBTempClick);
    OnClick(SPBTemp, this, &ProfileWizard::SPBTempClick);
    OnClick(CHBKompLevel, this, &ProfileWizard::CHBKompLevelClick);
    OnClick(CHBEncrypt, this, &ProfileWizard::CHBEncryptClick);
    OnClick(CHBDiskspan, this, &ProfileWizard::CHBDiskspanClick);
    for (QRadioButton* radio : {RBNot, RBHour, RBDay, RBweek, RBMonth, RBFree})
        OnClick(radio, this, &ProfileWizard::SetPeriod);
    OnClick(CHBshutdown, this, &ProfileWizard::CHBshutdownClick);
    OnClick(CHBPriority, this, &ProfileWizard::CHBPriorityClick);
    OnClick(CHBFileTypes, this, &ProfileWizard::CHBFileTypesClick);
    OnClick(BBDestDr, this, &ProfileWizard::BBDestDrClick);
    OnClick(BBDestNet, this, &ProfileWizard::BBDestNetClick);
    OnClick(SPBVor, this, &ProfileWizard::SPBVorClick);
    OnClick(SPBNach, this, &ProfileWizard::SPBNachClick);
    connect(CHBAdvanced, &QCheckBox::clicked, this, [this] {
        CHBAdvancedCheck();
        if (PageControl1->currentIndex() == 1)
            PageControl1->setCurrentIndex(0);
    });
    connect(EDNetPasswd, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_netPasswordBuffer = text.toStdString(); });
    connect(EDProfilename, &QLineEdit::textChanged, this, [this](const QString& text) { setCaption(text); });
    connect(SPEHour, &QSpinBox::editingFinished, this, &ProfileWizard::SPEMinExit);
    connect(SPEMin, &QSpinBox::editingFinished, this, &ProfileWizard::SPEMinExit);
    connect(EDMaxVolumeSize, &QSpinBox::editingFinished, this, &ProfileWizard::EDMaxVolumeSizeExit);
    for (QLineEdit* field : {EDTime, EDweektime, EDMonthtime, EDBeginTime, EDEndTime})
        connect(field, &QLineEdit::editingFinished, this, [this, field] { normaliseTimes(field); });
    connect(EDFree, &QLineEdit::editingFinished, this,
            [this] { EDFree->setText(QString::fromStdString(NormaliseFreeList(EDFree->text().toStdString()))); });
    connect(PageControl1, &QTabWidget::currentChanged, this, &ProfileWizard::sourceTabChanged);
    // Connected after the tree's own handling: the tree has taken the tick in when this runs.
    connect(EDirTreeWidget, &QTreeWidget::itemChanged, this, &ProfileWizard::treeItemChanged);
    connect(BTForgetOffline, &QToolButton::clicked, this, &ProfileWizard::forgetOffline);
}

void ProfileWizard::RBBackupTypeClick()
{
    const bool full = RBFull->isChecked() || RBIncrement->isChecked() || RBDifferential->isChecked();
    RBArchive->setEnabled(full);
    RBDate->setEnabled(full);
    RBDeleteNow->setEnabled(RBDelete->isChecked());
    CHBverify->setEnabled(full && !CHBCompress->isChecked());
    CHBFTP->setEnabled(full);
    if (!full)
        CHBFTP->setChecked(false);
    // The freedesktop trash takes deleted files on every system this runs on.
    RBDeleteRecycle->setEnabled(RBDelete->isChecked());
    if (!RBIncrement->isChecked() && !RBDifferential->isChecked())
        CBIncrFull->setCurrentIndex(-1);
    RBDateClick();
    CHBverifyClick();
    CHBSecurityClick();
    CHBFTPClick();
    CHBDisknameClick();
    if (RBSync->isChecked())
        keepOneSource();
    LBSource->setText(RBDelete->isChecked() ? tr("Diese Verzeichnissinhalte löschen: ")
                      : RBMove->isChecked() ? tr("Diese Verzeichnissinhalte verschieben: ")
                                            : tr("Diese Verzeichnissinhalte sichern: "));
    PageControl1->setTabVisible(1, CHBAdvanced->isChecked() && !RBSync->isChecked());
    if (!PageControl1->isTabVisible(1) && PageControl1->currentIndex() == 1)
        PageControl1->setCurrentIndex(0);
    const bool generations = !RBSync->isChecked() && !RBMove->isChecked();
    LBDestOverwrite->setVisible(generations);
    CHBOverwrite->setVisible(generations);
    SPEgenerations->setVisible(generations);
}

void ProfileWizard::RBArchiveClick()
{
    LBIncrFull->setEnabled(false);
    CBIncrFull->setEnabled(false);
    CBIncrFull->setCurrentIndex(-1);
}

void ProfileWizard::RBDateClick()
{
    const bool enabled =
        RBDate->isEnabled() && RBDate->isChecked() && (RBIncrement->isChecked() || RBDifferential->isChecked());
    LBIncrFull->setEnabled(enabled);
    CBIncrFull->setEnabled(enabled);
    if (enabled)
        GetFull();
}

void ProfileWizard::GetFull()
{
    const QString current = CBIncrFull->currentText();
    CBIncrFull->clear();
    CBIncrFull->addItem(QString());
    for (const std::string& name : m_context.fullBackupNames)
        CBIncrFull->addItem(QString::fromStdString(name));
    CBIncrFull->setCurrentIndex(current.isEmpty() ? 0 : std::max(0, CBIncrFull->findText(current, Qt::MatchExactly)));
}

void ProfileWizard::CHBverifyClick()
{
    const bool full = RBFull->isChecked() || RBIncrement->isChecked() || RBDifferential->isChecked();
    CHBbit->setEnabled(CHBverify->isEnabled() && CHBverify->isChecked() && !CHBCompress->isChecked() && full);
}

void ProfileWizard::CHBWithsubClick()
{
    CHBWithEmpty->setEnabled(CHBWithsub->isChecked());
    EDirTreeWidget->setCascade(CHBWithsub->isChecked());
}

void ProfileWizard::CHBSecurityClick()
{
    // A run cannot log on to a network share here (the system mounts shares with its own
    // credentials): the logon belongs to an FTP server only.
    CHBSecurity->setEnabled(CHBFTP->isChecked());
    LBSecurityNote->setVisible(!CHBFTP->isChecked());
    const bool logon = CHBSecurity->isChecked() && CHBSecurity->isEnabled();
    EnableAll({EDNetUser, LBNetUser, EDNetPasswd, LBNetpasswd}, logon);
}

void ProfileWizard::CHBFTPClick()
{
    const bool ftp = CHBFTP->isChecked();
    EnableAll({EDFTPServer, LBFTPMode, CBFTPMode, CHBFTPPassive}, ftp);
    CHBDelete->setEnabled(!ftp);
    LBDestination->setText(ftp ? tr("Startverzeichnis:") : tr("Zielverzeichnis:"));
    if (ftp) {
        CHBDiskname->setChecked(false);
        CHBDisknameClick();
        CHBCompress->setChecked(false);
        CHBcompressClick();
    }
    CHBDiskname->setEnabled(!ftp);
    CHBCompress->setEnabled(!ftp);
    CHBSecurityClick();
}

void ProfileWizard::CHBDisknameClick()
{
    EnableAll({EDDiskname, SPBDiskname}, CHBDiskname->isChecked());
    if (CHBDiskname->isChecked() && EDDiskname->text().isEmpty())
        SPBDisknameClick();
}

void ProfileWizard::SPBDisknameClick()
{
    const std::string destination = EDDest->text().toStdString();
    EDDiskname->setText(m_context.volumeLabel && !destination.empty()
                            ? QString::fromStdString(m_context.volumeLabel(destination))
                            : QString());
}

void ProfileWizard::CHBoverwriteClick()
{
    SPEgenerations->setEnabled(CHBOverwrite->isChecked() && CHBOverwrite->isEnabled());
}

void ProfileWizard::CHBcompressClick()
{
    const bool compress = CHBCompress->isChecked() && CHBCompress->isEnabled();
    EnableAll({LBFilename, LBPassword, LBPassword2, EDFilename, CHBEncrypt, CHBDiskspan, CHBDiskSpanErase, CHBTemp,
               EDTemp, CHBKompLevel, TRBCompression, LBComprPlus, LBComprMinus, EDPassword, EDPassword2},
              compress);
    CHBOverwrite->setEnabled(!CHBCompress->isChecked() && CHBCompress->isEnabled());
    CHBDelZip->setEnabled(compress && RBIncrement->isChecked());
    CHBoverwriteClick();
    CHBTempClick();
    CHBKompLevelClick();
    CHBDiskspanClick();
    CHBEncryptClick();
    const bool full = RBFull->isChecked() || RBIncrement->isChecked() || RBDifferential->isChecked();
    CHBverify->setEnabled(full && !CHBCompress->isChecked());
    CHBverifyClick();
}

void ProfileWizard::CHBTempClick()
{
    const bool compress = CHBCompress->isChecked() && CHBCompress->isEnabled();
    EnableAll({EDTemp, SPBTemp}, compress && CHBTemp->isChecked() && CHBTemp->isEnabled());
}

void ProfileWizard::CHBKompLevelClick()
{
    EnableAll({TRBCompression, LBComprMinus, LBComprPlus}, CHBKompLevel->isChecked() && CHBKompLevel->isEnabled());
    if (!CHBKompLevel->isChecked())
        TRBCompression->setValue(m_context.settings.Compression);
}

void ProfileWizard::CHBEncryptClick()
{
    const bool compress = CHBCompress->isChecked() && CHBCompress->isEnabled();
    EnableAll({EDPassword, LBPassword, EDPassword2, LBPassword2}, compress && CHBEncrypt->isChecked());
}

bool ProfileWizard::EDPassword2Exit()
{
    if (EDPassword->text() == EDPassword2->text())
        return true;
    EDPassword->clear();
    EDPassword2->clear();
    if (m_context.dialogs)
        m_context.dialogs->ShowError(
            tr("Passwort-Wiederholung war nicht gleich. Bitte wiederholen Sie die Eingabe.").toStdString());
    EDPassword->setFocus();
    return false;
}

void ProfileWizard::CHBDiskspanClick()
{
    if (!CHBDiskspan->isChecked())
        EDMaxVolumeSize->setValue(0);
    const bool span = CHBDiskspan->isChecked() && CHBCompress->isChecked() && CHBCompress->isEnabled();
    EnableAll({CHBDiskSpanErase, LBMaxVolumeSize1, LBMaxVolumeSize2, EDMaxVolumeSize}, span);
    if (!CHBDiskSpanErase->isEnabled())
        CHBDiskSpanErase->setChecked(false);
}

void ProfileWizard::EDMaxVolumeSizeExit()
{
    // Raised when the field is left, not while the digits are typed one by one.
    if (EDMaxVolumeSize->value() > 0 && EDMaxVolumeSize->value() < 100000)
        EDMaxVolumeSize->setValue(100000);
}

void ProfileWizard::SetPeriod()
{
    EnableAll({SPEHour, SPEMin, EDTime, SPEweek, CBDay, EDweektime, SPEMonthDay, EDMonthtime, LBhour, LBMinute, LBtime,
               LBweek, LBweek2, LBweek3, LBMonth, LBMonth2, LBMonth3, EDFree},
              false);
    for (QCheckBox* day : CHBWeekdays)
        day->setEnabled(false);
    const auto fillTime = [](QLineEdit* field) {
        if (field->text().trimmed().isEmpty())
            field->setText(QStringLiteral("12:00"));
    };
    if (RBHour->isChecked()) {
        EnableAll({SPEHour, SPEMin, LBhour, LBMinute}, true);
    } else if (RBDay->isChecked()) {
        EnableAll({EDTime, LBtime}, true);
        for (QCheckBox* day : CHBWeekdays)
            day->setEnabled(true);
        fillTime(EDTime);
    } else if (RBweek->isChecked()) {
        EnableAll({SPEweek, CBDay, EDweektime, LBweek, LBweek2, LBweek3}, true);
        fillTime(EDweektime);
    } else if (RBMonth->isChecked()) {
        EnableAll({SPEMonthDay, EDMonthtime, LBMonth, LBMonth2, LBMonth3}, true);
        fillTime(EDMonthtime);
    } else if (RBFree->isChecked()) {
        EDFree->setEnabled(true);
        if (EDFree->text().trimmed().isEmpty())
            EDFree->setText(QString::fromStdString(FormatDate(m_context.today + 1)) + QStringLiteral("-12:00;"));
    }
}

void ProfileWizard::SPEMinExit()
{
    if (SPEHour->value() == 0 && SPEMin->value() < 5)
        SPEMin->setValue(5);
}

void ProfileWizard::normaliseTimes(QLineEdit* field)
{
    field->setText(QString::fromStdString(NormaliseTimeList(field->text().toStdString())));
}

void ProfileWizard::CHBshutdownClick()
{
    CHBshutdownForce->setEnabled(CHBshutdown->isChecked());
    if (!CHBshutdownForce->isEnabled())
        CHBshutdownForce->setChecked(false);
}

void ProfileWizard::CHBPriorityClick()
{
    EnableAll({LBPriority1, LBPriority2, TRBPriority}, CHBPriority->isChecked() && CHBPriority->isEnabled());
    if (!CHBPriority->isChecked())
        TRBPriority->setValue(m_context.settings.Priority);
}

void ProfileWizard::CHBFileTypesClick()
{
    EnableAll({CHBSystem, CHBHidden, CHBReadOnly}, CHBFileTypes->isChecked() && CHBFileTypes->isEnabled());
    if (!CHBFileTypes->isChecked()) {
        CHBSystem->setChecked(m_context.settings.System);
        CHBHidden->setChecked(m_context.settings.Hidden);
        CHBReadOnly->setChecked(m_context.settings.ReadOnly);
    }
}

void ProfileWizard::BBDestDrClick()
{
    const QString title = tr("Wählen Sie ein Ziel-Verzeichnis aus:");
    const QString folder =
        folderPicker() ? folderPicker()(title) : QFileDialog::getExistingDirectory(this, title, EDDest->text());
    if (!folder.isEmpty())
        EDDest->setText(QString::fromStdString(PickedDestination(folder.toStdString(), EDDest->text().toStdString())));
}

void ProfileWizard::BBDestNetClick()
{
    if (m_context.networkMounts.empty()) {
        if (m_context.dialogs)
            m_context.dialogs->ShowInfo(tr("Es ist kein Netzwerk-Dateisystem eingehängt. Hängen Sie die Freigabe im "
                                           "Dateimanager ein und wählen Sie sie dann hier.")
                                            .toStdString());
        return;
    }
    QMenu menu(this);
    for (const TreeRoot& mount : m_context.networkMounts) {
        QAction* action = menu.addAction(mount.caption + QStringLiteral("  (") + QString::fromStdString(mount.path) +
                                         QLatin1Char(')'));
        action->setData(QString::fromStdString(mount.path));
    }
    QAction* chosen = menu.exec(BBDestNet->mapToGlobal(QPoint(0, BBDestNet->height())));
    if (chosen)
        EDDest->setText(QString::fromStdString(
            PickedDestination(chosen->data().toString().toStdString(), EDDest->text().toStdString())));
}

void ProfileWizard::SPBTempClick()
{
    const QString title = tr("Wählen Sie ein Temporär-Verzeichnis aus:");
    const QString folder = folderPicker() ? folderPicker()(title) : QFileDialog::getExistingDirectory(this, title);
    if (!folder.isEmpty())
        EDTemp->setText(QString::fromStdString(WithSlash(folder.toStdString())));
}

void ProfileWizard::SPBVorClick()
{
    pickProgram(EDVor);
}

void ProfileWizard::SPBNachClick()
{
    pickProgram(EDNach);
}

void ProfileWizard::pickProgram(QLineEdit* field)
{
    const QString title = tr("Programm wählen");
    const QString filter = tr("Programme (*.sh *.py *.pl);;Alle Dateien (*)");
    const QString program =
        programPicker() ? programPicker()(title) : QFileDialog::getOpenFileName(this, title, QString(), filter);
    if (!program.isEmpty())
        field->setText(program);
}

void ProfileWizard::CHBAdvancedCheck()
{
    if (!CHBAdvanced->isChecked()) {
        RBArchive->setChecked(true);
        RBArchiveClick();
        CHBverify->setChecked(false);
        CHBbit->setChecked(false);
        CHBverifyClick();
        CHBDiskname->setChecked(false);
        CHBDisknameClick();
        CHBFTP->setChecked(false);
        CHBFTPClick();
        CHBSecurity->setChecked(false);
        CHBSecurityClick();
        EDDiskname->clear();
        CHBTemp->setChecked(false);
        CHBTempClick();
        EDTemp->clear();
        CHBKompLevel->setChecked(false);
        CHBKompLevelClick();
        CHBDelZip->setChecked(false);
        // Hidden settings would stay in force unseen: emptying the destination before each
        // backup, switching the computer off, other priorities and file types (their values
        // count only while their box is ticked).
        CHBDelete->setChecked(false);
        CHBshutdown->setChecked(false);
        CHBshutdownClick();
        CHBPriority->setChecked(false);
        CHBFileTypes->setChecked(false);
        EDVor->clear();
        CHBVor->setChecked(false);
        EDNach->clear();
        CHBNach->setChecked(false);
        EDFree->clear();
        if (RBFree->isChecked())
            RBNot->setChecked(true);
        EDBeginDate->setDatum(0);
        EDEndDate->setDatum(0);
        EDBeginTime->clear();
        EDEndTime->clear();
    }
    for (QWidget* widget : m_advancedOnly)
        widget->setVisible(CHBAdvanced->isChecked());
    PageControl1->setTabVisible(1, CHBAdvanced->isChecked() && !RBSync->isChecked());
}

std::vector<std::string> ProfileWizard::chosenSources() const
{
    if (PageControl1->currentIndex() == 1)
        return typedSources();
    std::vector<std::string> lines = EDirTreeWidget->SelectedDirs();
    lines.insert(lines.end(), m_offlineSources.begin(), m_offlineSources.end());
    return lines;
}

QString ProfileWizard::sourceLines(const std::vector<std::string>& folders)
{
    QStringList lines;
    for (const std::string& folder : folders) {
        const QString line = QString::fromStdString(folder);
        if (line.toStdString() != folder)
            m_rawLines[line] = folder;
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

std::vector<std::string> ProfileWizard::typedSources() const
{
    std::vector<std::string> folders;
    for (const QString& line : MESelectedDirs->toPlainText().split(QLatin1Char('\n'))) {
        const auto raw = m_rawLines.find(line);
        folders.push_back(raw != m_rawLines.end() ? raw->second : line.toStdString());
    }
    return folders;
}

void ProfileWizard::sourceTabChanged(int tab)
{
    if (tab == m_sourceTab)
        return;
    if (tab == 0) {
        // Folders the tree cannot show (an unplugged medium, a typed path) stay in the profile.
        m_offlineSources = EDirTreeWidget->setSelectedDirs(CleanSourceLines(typedSources(), false));
    } else {
        // The tab has changed already: the tree's choice is read from the tree itself.
        std::vector<std::string> chosen = EDirTreeWidget->SelectedDirs();
        chosen.insert(chosen.end(), m_offlineSources.begin(), m_offlineSources.end());
        MESelectedDirs->setPlainText(sourceLines(chosen));
        m_offlineSources.clear();
    }
    m_sourceTab = tab;
    showOffline();
}

void ProfileWizard::keepOneSource()
{
    const std::vector<std::string> chosen = CleanSourceLines(chosenSources(), false);
    if (chosen.size() <= 1)
        return;
    const std::vector<std::string> first(chosen.begin(), chosen.begin() + 1);
    if (PageControl1->currentIndex() == 1)
        MESelectedDirs->setPlainText(sourceLines(first));
    else
        m_offlineSources = EDirTreeWidget->setSelectedDirs(first);
    showOffline();
}

void ProfileWizard::treeItemChanged(QTreeWidgetItem* item)
{
    if (!RBSync->isChecked() || item != m_syncClicked)
        return;
    m_syncClicked = nullptr;
    // The box of the folder clicked has changed: every other tick goes (item by item, as the tree
    // is not rebuilt under the user's hands), but not those of the folders above and below it,
    // which show its state. Unticked, nothing stays chosen.
    const auto related = [item](QTreeWidgetItem* other) {
        for (QTreeWidgetItem* up = other; up; up = up->parent())
            if (up == item)
                return true;
        for (QTreeWidgetItem* up = item->parent(); up; up = up->parent())
            if (up == other)
                return true;
        return false;
    };
    std::vector<QTreeWidgetItem*> others;
    for (QTreeWidgetItemIterator it(EDirTreeWidget); *it; ++it)
        if ((*it)->checkState(0) != Qt::Unchecked && (*it)->flags().testFlag(Qt::ItemIsUserCheckable) && !related(*it))
            others.push_back(*it);
    for (QTreeWidgetItem* other : others)
        other->setCheckState(0, Qt::Unchecked);
    if (item->checkState(0) == Qt::Checked)
        forgetOffline();
}

void ProfileWizard::showOffline()
{
    QStringList paths;
    for (const std::string& path : m_offlineSources)
        paths << QString::fromStdString(path);
    const bool shown = !paths.isEmpty() && PageControl1->currentIndex() == 0;
    LBOffline->setVisible(shown);
    BTForgetOffline->setVisible(shown);
    if (shown)
        LBOffline->setText(tr("Nicht erreichbar, bleiben im Profil: %1").arg(paths.join(QStringLiteral("; "))));
}

void ProfileWizard::forgetOffline()
{
    m_offlineSources.clear();
    showOffline();
}
