// A profile's fields into the wizard's controls and back. Every box and radio button is read
// whether or not it is enabled or visible at that moment.

#include "base/Text.h"
#include "components/EEditDate.h"
#include "engine/FileMasks.h"
#include "profiles/ProfileText.h"
#include "scheduler/ScheduleText.h"
#include "ui/wizard/ProfileWizard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string S(const QString& text)
{
    return text.toStdString();
}

QString Lines(const std::vector<std::string>& lines)
{
    QStringList list;
    for (const std::string& line : lines)
        list << Q(line);
    return list.join(QLatin1Char('\n'));
}

std::vector<std::string> LinesOf(const QPlainTextEdit* memo)
{
    std::vector<std::string> lines;
    for (const QString& line : memo->toPlainText().split(QLatin1Char('\n')))
        lines.push_back(S(line));
    return lines;
}

/// A first or last moment into its date and time fields; the value meaning "none" empties both.
void ShowMoment(DateTime moment, DateTime none, EEditDate* date, QLineEdit* time)
{
    if (moment == none || moment <= 0) {
        date->setDatum(0);
        time->clear();
        return;
    }
    date->setDatum(DateOf(moment));
    const ClockTime clock = DecodeTime(moment);
    time->setText(QString::asprintf("%02d:%02d", clock.hour, clock.minute));
}

/// The moment of a date field and its time; none without a date; the previous value when the
/// time cannot be read.
DateTime ReadMoment(const EEditDate* date, const QLineEdit* time, DateTime none, DateTime previous)
{
    if (date->Datum() <= 0)
        return none;
    std::string text = Trim(S(time->text()));
    if (text.empty())
        text = "00:00";
    const std::optional<DateTime> clock = TryReadTime(text);
    if (!clock)
        return previous;
    return ComposeDateTime(date->Datum(), *clock);
}

QRadioButton* PeriodRadio(const ProfileWizard& w, std::uint8_t period)
{
    switch (period) {
    case PeriodNotPeriodic:
        return w.RBNot;
    case PeriodInterval:
        return w.RBHour;
    case PeriodDaily:
        return w.RBDay;
    case PeriodWeekly:
        return w.RBweek;
    case PeriodMonthly:
        return w.RBMonth;
    case PeriodFree:
        return w.RBFree;
    default:
        return nullptr;
    }
}

QRadioButton* TypeRadio(const ProfileWizard& w, std::uint8_t type)
{
    switch (type) {
    case BackupIncremental:
        return w.RBIncrement;
    case BackupDelete:
        return w.RBDelete;
    case BackupMove:
        return w.RBMove;
    case BackupDifferential:
        return w.RBDifferential;
    case BackupSynchronise:
        return w.RBSync;
    default:
        return w.RBFull;
    }
}

} // namespace

void ProfileWizard::ShowProfile(TProfile& p)
{
    setCaption(Q(p.Name));
    EDProfilename->setText(Q(p.Name));
    CHBAdvanced->setChecked(p.Advanced);
    EDirTreeWidget->setCascade(p.Withsub);
    // Without advanced mode only the tree can show the sources.
    if (!p.Advanced)
        p.SourceListTree = true;
    if (p.SourceListTree) {
        PageControl1->setCurrentIndex(0);
        m_offlineSources = EDirTreeWidget->setSelectedDirs(p.Source);
    } else {
        // The list is current before the tab changes: the change must not fill it from the empty
        // tree.
        m_sourceTab = 1;
        MESelectedDirs->setPlainText(sourceLines(p.Source));
        PageControl1->setTabVisible(1, true);
        PageControl1->setCurrentIndex(1);
    }
    CHBWithsub->setChecked(p.Withsub);
    CHBWithEmpty->setChecked(p.Withempty);
    CHBFollowLinks->setChecked(p.FollowLinks);
    EDDest->setText(Q(p.Destination));
    CHBSecurity->setChecked(p.NetLogon);
    EDNetUser->setText(Q(p.NetUser));
    EDNetPasswd->setText(p.NetPasswd.empty() ? QString() : QString(15, QLatin1Char('*')));
    m_netPasswordBuffer = p.NetPasswd;
    CHBDiskname->setChecked(p.CheckDestname);
    EDDiskname->setText(Q(p.DestName));
    CHBDelete->setChecked(p.DestErase);
    CHBDiskspan->setChecked(p.DiskSpan);
    EDMaxVolumeSize->setValue(p.MaxVolumeSize);
    CHBDiskSpanErase->setChecked(p.DiskSpanFormat);
    EDFilename->setText(Q(p.Zipfile));
    MEFilterIncl->setPlainText(Lines(MaskEntries(p.Addfiles)));
    MEFilterExcl->setPlainText(Lines(MaskEntries(p.Exclfiles)));
    if (QRadioButton* radio = PeriodRadio(*this, p.Period))
        radio->setChecked(true);
    SPEHour->setValue(p.Hours);
    SPEMin->setValue(p.Minutes);
    EDTime->setText(Q(p.RunTime));
    for (std::size_t day = 0; day < CHBWeekdays.size(); ++day)
        CHBWeekdays[day]->setChecked(p.DayOfWeek[day]);
    SPEweek->setValue(p.Weeks);
    CBDay->setCurrentIndex(p.Day <= 6 ? p.Day : -1);
    EDweektime->setText(Q(p.Weektime));
    SPEMonthDay->setValue(p.MonthDay);
    EDMonthtime->setText(Q(p.Monthtime));
    EDFree->setText(Q(p.FreeTime));
    ShowMoment(p.DateTimeFrom, 1.0, EDBeginDate, EDBeginTime);
    ShowMoment(p.DateTimeTo, 100000.0, EDEndDate, EDEndTime);
    CHBMissedBackup->setChecked(p.MissedBackup);
    CHBOnStartup->setChecked(p.OnStartup);
    CHBOnShutdown->setChecked(p.OnShutDown);
    CHBshutdown->setChecked(p.ShutDown);
    CHBshutdownForce->setChecked(p.ShutDownForce);
    CHBshutdownClick();
    CHBshutdownForce->setChecked(p.ShutDown && p.ShutDownForce);
    TypeRadio(*this, p.Backuptype)->setChecked(true);
    CHBverify->setChecked(p.Verify);
    CHBbit->setChecked(p.VerifyBit);
    RBDeleteRecycle->setChecked(p.RecycleBin);
    RBDeleteNow->setChecked(!p.RecycleBin);
    RBArchive->setChecked(p.Archive);
    RBDate->setChecked(!p.Archive);
    // Only the name of a full-backup profile can be chosen; another name is dropped.
    GetFull();
    CBIncrFull->setCurrentIndex(std::max(0, CBIncrFull->findText(Q(p.IncrFull), Qt::MatchExactly)));
    CHBFTP->setChecked(p.FTP);
    EDFTPServer->setText(Q(p.FTPServer));
    CBFTPMode->setCurrentIndex(p.FTPMode <= 2 ? p.FTPMode : 0);
    CHBFTPPassive->setChecked(p.FTPPassive);
    CHBCompress->setChecked(p.Compress);
    CHBEncrypt->setChecked(p.Encrypt);
    EDPassword->setText(Q(p.Password));
    EDPassword2->setText(Q(p.Password));
    CHBTemp->setChecked(p.TempDir);
    EDTemp->setText(Q(p.TempDirName));
    CHBKompLevel->setChecked(p.CompLev);
    TRBCompression->setValue(p.CompLevel);
    CHBDelZip->setChecked(p.CompDel);
    CHBOverwrite->setChecked(p.Generations > 1);
    if (p.Generations > 1)
        SPEgenerations->setValue(p.Generations);
    CHBPriority->setChecked(p.Prior);
    TRBPriority->setValue(p.Priority);
    CHBFileTypes->setChecked(p.XFileAtt);
    CHBSystem->setChecked(p.SFileAtt);
    CHBHidden->setChecked(p.HFileAtt);
    CHBReadOnly->setChecked(p.RFileAtt);
    EDVor->setText(Q(p.RunBefore));
    CHBVor->setChecked(p.RunBeforeWait);
    EDNach->setText(Q(p.RunAfter));
    CHBNach->setChecked(p.RunAfterWait);
    m_sourceTab = PageControl1->currentIndex();
    // Setting the controls counts as clicking them: the rules bring the dependent ones in line.
    RBBackupTypeClick();
    CHBWithsubClick();
    CHBcompressClick();
    CHBAdvancedCheck();
    // A stored level the slider cannot show would otherwise be changed without being touched.
    if (p.CompLev && p.CompLevel != TRBCompression->value())
        TRBCompression->setValue(p.CompLevel);
}

bool ProfileWizard::lastBeforeFirst() const
{
    const DateTime first = ReadMoment(EDBeginDate, EDBeginTime, OpenFrom, OpenFrom);
    const DateTime last = ReadMoment(EDEndDate, EDEndTime, OpenTo, OpenTo);
    return last < first;
}

void ProfileWizard::ReadProfile(TProfile& p, bool /*edited*/) const
{
    p.Addfiles = JoinMaskLines(LinesOf(MEFilterIncl));
    p.Exclfiles = JoinMaskLines(LinesOf(MEFilterExcl));
    p.Period = RBFree->isChecked()    ? PeriodFree
               : RBMonth->isChecked() ? PeriodMonthly
               : RBweek->isChecked()  ? PeriodWeekly
               : RBDay->isChecked()   ? PeriodDaily
               : RBHour->isChecked()  ? PeriodInterval
               : RBNot->isChecked()   ? PeriodNotPeriodic
                                      : PeriodNone;
    p.Name = StoredProfileName(S(EDProfilename->text()));
    p.Source = CleanSourceLines(chosenSources(), RBSync->isChecked());
    p.Advanced = CHBAdvanced->isChecked();
    p.SourceListTree = PageControl1->currentIndex() == 0;
    p.Withsub = CHBWithsub->isChecked();
    p.Withempty = CHBWithEmpty->isChecked();
    p.FollowLinks = CHBFollowLinks->isChecked();
    // As the checks read it: " /media/usb/" would be a relative path to a run.
    ChangeDestination(p, Trim(S(EDDest->text())));
    p.NetLogon = CHBSecurity->isChecked();
    p.NetUser = S(EDNetUser->text());
    p.NetPasswd = m_netPasswordBuffer;
    p.CheckDestname = CHBDiskname->isChecked();
    p.DestName = S(EDDiskname->text());
    p.DestErase = CHBDelete->isChecked();
    p.DiskSpan = CHBDiskspan->isChecked();
    const int volume = EDMaxVolumeSize->value();
    p.MaxVolumeSize = volume > 0 && volume < 100000 ? 100000 : volume;
    p.DiskSpanFormat = CHBDiskSpanErase->isChecked();
    p.Zipfile = S(EDFilename->text());
    p.Hours = static_cast<std::uint8_t>(SPEHour->value());
    p.Minutes = static_cast<std::uint8_t>(SPEMin->value());
    p.RunTime = S(EDTime->text());
    for (std::size_t day = 0; day < CHBWeekdays.size(); ++day)
        p.DayOfWeek[day] = CHBWeekdays[day]->isChecked();
    p.Weeks = static_cast<std::uint8_t>(SPEweek->value());
    p.Day = static_cast<std::uint8_t>(CBDay->currentIndex());
    p.Weektime = S(EDweektime->text());
    p.MonthDay = static_cast<std::uint8_t>(SPEMonthDay->value());
    p.Monthtime = S(EDMonthtime->text());
    p.FreeTime = S(EDFree->text());
    p.DateTimeFrom = ReadMoment(EDBeginDate, EDBeginTime, 1.0, p.DateTimeFrom);
    p.DateTimeTo = ReadMoment(EDEndDate, EDEndTime, 100000.0, p.DateTimeTo);
    p.MissedBackup = CHBMissedBackup->isChecked();
    p.OnStartup = CHBOnStartup->isChecked();
    p.OnShutDown = CHBOnShutdown->isChecked();
    p.ShutDown = CHBshutdown->isChecked();
    p.ShutDownForce = CHBshutdownForce->isChecked();
    p.Backuptype = flow().backupType;
    p.Verify = CHBverify->isChecked();
    p.VerifyBit = CHBbit->isChecked();
    p.RecycleBin = RBDeleteRecycle->isChecked();
    p.Archive = RBArchive->isChecked();
    p.IncrFull = S(CBIncrFull->currentText());
    p.FTP = CHBFTP->isChecked();
    p.FTPServer = S(EDFTPServer->text());
    p.FTPMode = static_cast<std::uint8_t>(CBFTPMode->currentIndex());
    p.FTPPassive = CHBFTPPassive->isChecked();
    p.Compress = CHBCompress->isChecked();
    p.Encrypt = CHBEncrypt->isChecked();
    p.Password = S(EDPassword->text());
    p.TempDir = CHBTemp->isChecked();
    p.TempDirName = S(EDTemp->text());
    p.CompLev = CHBKompLevel->isChecked();
    p.CompLevel = static_cast<std::uint8_t>(TRBCompression->value());
    p.CompDel = CHBDelZip->isChecked();
    p.Generations = CHBOverwrite->isChecked() ? static_cast<std::uint8_t>(SPEgenerations->value()) : 1;
    p.Prior = CHBPriority->isChecked();
    p.Priority = TRBPriority->value();
    p.XFileAtt = CHBFileTypes->isChecked();
    p.SFileAtt = CHBSystem->isChecked();
    p.HFileAtt = CHBHidden->isChecked();
    p.RFileAtt = CHBReadOnly->isChecked();
    p.RunBefore = S(EDVor->text());
    p.RunBeforeWait = CHBVor->isChecked();
    p.RunAfter = S(EDNach->text());
    p.RunAfterWait = CHBNach->isChecked();
    p.RunRequest = false;
}
