#include "ui/wizard/ProfileWizard.h"

#include "components/EEditDate.h"
#include "profiles/Scramble.h"
#include "scheduler/ScheduleText.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

/// The names the pages are known by; the manual's section for each.
constexpr std::array<const char*, 7> PageNames = {"Intro", "wie", "quelle", "ziel", "compress", "wann", "option"};
constexpr std::array<const char*, 7> HelpPages = {
    "profiles.html#wizard", "profiles.html#types",    "profiles.html#source",   "profiles.html#destination",
    "profiles.html#zip",    "profiles.html#schedule", "profiles.html#advanced",
};

} // namespace

ProfileWizard::ProfileWizard(WizardContext context, QWidget* parent) : QDialog(parent), m_context(std::move(context))
{
    setObjectName(QStringLiteral("TFMWizard"));
    NBWizard = new QStackedWidget(this);
    NBWizard->addWidget(buildIntroPage());
    NBWizard->addWidget(buildHowPage());
    NBWizard->addWidget(buildSourcePage());
    NBWizard->addWidget(buildDestPage());
    NBWizard->addWidget(buildCompressPage());
    NBWizard->addWidget(buildWhenPage());
    NBWizard->addWidget(buildOptionPage());

    BTCancel = new QPushButton(tr("Abbrechen"), this);
    BTBack = new QPushButton(tr("< Zurück"), this);
    BTForward = new QPushButton(tr("Weiter >"), this);
    BTReady = new QPushButton(tr("Fertigstellen"), this);
    BTHelp = new QPushButton(tr("&Hilfe..."), this);
    auto* buttons = new QHBoxLayout; // PAButtons
    buttons->addStretch(1);
    for (QPushButton* button : {BTCancel, BTBack, BTForward, BTReady, BTHelp}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(NBWizard, 1);
    auto* buttonRow = new QWidget(this);
    buttonRow->setLayout(buttons);
    layout->addWidget(buttonRow);

    connect(BTCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BTBack, &QPushButton::clicked, this, &ProfileWizard::Back);
    connect(BTForward, &QPushButton::clicked, this, &ProfileWizard::Forward);
    connect(BTReady, &QPushButton::clicked, this, &ProfileWizard::accept);
    connect(BTHelp, &QPushButton::clicked, this, [this] {
        if (m_context.help)
            m_context.help(QString::fromLatin1(HelpPages[static_cast<std::size_t>(page())]));
    });
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, BTHelp, &QPushButton::click);
    connect(NBWizard, &QStackedWidget::currentChanged, this, &ProfileWizard::pageShown);

    // The values a new profile starts with that depend on the program around the wizard.
    EDDest->setText(QString::fromStdString(m_context.defaultDestination));
    TRBCompression->setValue(m_context.settings.Compression);
    EDirTreeWidget->setPictureStyle(m_context.treeStyle);
    connectRules();
    setCaption(tr("Neues Profil"));
    setFixedSize(sizeHint().expandedTo(QSize(680, 580)));
    showPage(PageIntro);
    EDProfilename->setFocus();
}

ProfileWizard::~ProfileWizard() = default;

int ProfileWizard::page() const
{
    return NBWizard->currentIndex();
}

QString ProfileWizard::pageName() const
{
    return QString::fromLatin1(PageNames[static_cast<std::size_t>(page())]);
}

WizardFlow ProfileWizard::flow() const
{
    WizardFlow flow;
    flow.backupType = RBIncrement->isChecked()      ? BackupIncremental
                      : RBDelete->isChecked()       ? BackupDelete
                      : RBMove->isChecked()         ? BackupMove
                      : RBDifferential->isChecked() ? BackupDifferential
                      : RBSync->isChecked()         ? BackupSynchronise
                                                    : BackupFull;
    flow.ftp = CHBFTP->isChecked();
    flow.advanced = CHBAdvanced->isChecked();
    return flow;
}

void ProfileWizard::setCaption(const QString& name)
{
    setWindowTitle(tr("Tresorio Profil Assistent") + QStringLiteral(" - ") + name);
}

void ProfileWizard::showPage(int target)
{
    const int last = LastWizardPage(CHBAdvanced->isChecked());
    if (NBWizard->currentIndex() == target)
        pageShown(target);
    else
        NBWizard->setCurrentIndex(target);
    BTBack->setEnabled(target > PageIntro);
    const bool atEnd = target >= last;
    BTForward->setEnabled(!atEnd);
    BTForward->setDefault(!atEnd);
    BTReady->setDefault(atEnd);
}

bool ProfileWizard::leaveDestinationPage()
{
    if (page() != PageDest || CHBFTP->isChecked())
        return true;
    if (!SourceDestinationClash(chosenSources(), EDDest->text().toStdString(), m_context.folderHolds))
        return true;
    refuse(PageDest, EDDest,
           tr("Zielverzeichnis und Quellverzeichnis gleich! Dies kann zu Datenverlust führen!\nBitte korrigieren Sie "
              "das Zielverzeichnis.")
               .toStdString());
    return false;
}

bool ProfileWizard::Forward()
{
    if (!leaveDestinationPage())
        return false;
    const int before = page();
    showPage(NextWizardPage(before, flow()));
    keepFocusOn(BTForward);
    return page() != before;
}

bool ProfileWizard::Back()
{
    if (!leaveDestinationPage())
        return false;
    const int before = page();
    showPage(PreviousWizardPage(before, flow()));
    if (page() != PageIntro)
        BTForward->setDefault(true);
    keepFocusOn(BTBack);
    return page() != before;
}

void ProfileWizard::keepFocusOn(QPushButton* button)
{
    // The focus stays on the page button, so the keyboard pages on; at either end it moves to the
    // button that still leads somewhere. A page that waits for an entry has the focus there.
    if (m_pageFocus)
        m_pageFocus->setFocus();
    else if (button->isEnabled())
        button->setFocus();
    else
        (button == BTForward ? BTReady : BTForward)->setFocus();
}

void ProfileWizard::pageShown(int shown)
{
    m_pageFocus = nullptr;
    switch (shown) {
    case PageHow:
        RBBackupTypeClick();
        break;
    case PageSource:
        CHBWithsubClick();
        showOffline();
        if (!m_sourcesRevealed) {
            m_sourcesRevealed = true;
            EDirTreeWidget->revealChecked();
        }
        break;
    case PageDest:
        CHBSecurityClick();
        CHBDisknameClick();
        CHBoverwriteClick();
        // Nothing proposed (no medium plugged in): the field waits for the destination.
        m_pageFocus = EDDest->text().trimmed().isEmpty() ? EDDest : nullptr;
        break;
    case PageCompress:
        if (EDFilename->text().isEmpty())
            EDFilename->setText(QString::fromStdString(ZipNameFor(EDProfilename->text().toStdString())));
        CHBcompressClick();
        break;
    case PageWhen:
        m_whenShown = true;
        SetPeriod();
        break;
    case PageOption:
        CHBPriority->setEnabled(true);
        CHBFileTypes->setEnabled(true);
        CHBPriorityClick();
        CHBFileTypesClick();
        break;
    default:
        break;
    }
}

void ProfileWizard::refuse(int target, QWidget* field, const std::string& message)
{
    if (page() != target)
        showPage(target);
    if (m_context.dialogs)
        m_context.dialogs->ShowError(message);
    if (field)
        field->setFocus();
}

std::optional<std::string> ProfileWizard::NameRefusal(const QString& name,
                                                      const std::function<bool(const std::string&)>& taken)
{
    const std::optional<ProfileNameProblem> problem = NameProblem(name.toStdString(), taken);
    if (problem == ProfileNameProblem::Empty)
        return tr("Bitte geben Sie einen Namen für das Sicherungsprofil ein.").toStdString();
    if (problem == ProfileNameProblem::Taken)
        return tr("Ein Sicherungsprofil mit dem Namen \"%1\" gibt es schon. Bitte wählen Sie einen anderen Namen.")
            .arg(QString::fromStdString(StoredProfileName(name.toStdString())))
            .toStdString();
    return std::nullopt;
}

bool ProfileWizard::validate()
{
    if (const auto refusal = NameRefusal(EDProfilename->text(), m_context.nameTaken)) {
        refuse(PageIntro, EDProfilename, *refusal);
        return false;
    }
    const WizardFlow how = flow();
    const std::vector<std::string> sources = CleanSourceLines(chosenSources(), false);
    if (sources.empty()) {
        refuse(PageSource, PageControl1->currentWidget(),
               tr("Bitte wählen Sie mindestens ein Quellverzeichnis.").toStdString());
        return false;
    }
    for (const std::string& source : sources) {
        // A run would read a relative path wherever the program was started.
        if (source.front() != '/') {
            refuse(PageSource, PageControl1->currentWidget(),
                   tr("Bitte geben Sie die Quellverzeichnisse als vollständige Pfade ein, z.B. "
                      "/home/anna/Dokumente/.")
                       .toStdString());
            return false;
        }
        // The file would give another folder back: the path cut at the line break, or its bytes
        // read as Windows-1252.
        if (!StorablePath(source)) {
            refuse(PageSource, PageControl1->currentWidget(),
                   tr("Der Name des Quellverzeichnisses \"%1\" enthält einen Zeilenumbruch oder ist kein gültiger "
                      "UTF-8-Text; so kann es nicht im Profil gespeichert werden. Bitte benennen Sie das "
                      "Verzeichnis um.")
                       .arg(QString::fromStdString(source))
                       .toStdString());
            return false;
        }
    }
    if (how.ftp && EDFTPServer->text().trimmed().isEmpty()) {
        refuse(PageDest, EDFTPServer, tr("Bitte geben Sie den FTP-Server ein.").toStdString());
        return false;
    }
    if (how.backupType != BackupDelete && !how.ftp && !EDDest->text().trimmed().startsWith(QLatin1Char('/'))) {
        refuse(PageDest, EDDest,
               tr("Bitte geben Sie das Zielverzeichnis als vollständigen Pfad ein, z.B. /media/anna/Sicherung/.")
                   .toStdString());
        return false;
    }
    if (how.backupType != BackupDelete && !how.ftp) {
        if (const auto clash =
                SourceDestinationClash(chosenSources(), EDDest->text().toStdString(), m_context.folderHolds)) {
            refuse(PageDest, EDDest,
                   tr("Zielverzeichnis und Quellverzeichnis gleich! Dies kann zu Datenverlust führen!\nBitte "
                      "korrigieren Sie das Zielverzeichnis.")
                       .toStdString());
            return false;
        }
    }
    if (CHBCompress->isChecked() && CHBCompress->isEnabled() && CHBEncrypt->isChecked()) {
        if (EDPassword->text() != EDPassword2->text()) {
            EDPassword2Exit();
            showPage(PageCompress);
            return false;
        }
        if (EDPassword->text().isEmpty()) {
            refuse(PageCompress, EDPassword,
                   tr("Bitte geben Sie ein Passwort für die Verschlüsselung ein.").toStdString());
            return false;
        }
    }
    if (!validateLimits())
        return false;
    // A schedule page never shown proposes what showing it would have; one the user emptied is
    // refused below, as a daily backup without a time never runs.
    if (!m_whenShown)
        SetPeriod();
    // The time fields are read as leaving them would.
    for (QLineEdit* field : {EDTime, EDweektime, EDMonthtime, EDBeginTime, EDEndTime})
        normaliseTimes(field);
    EDFree->setText(QString::fromStdString(NormaliseFreeList(EDFree->text().toStdString())));
    const auto noTime = [this](QLineEdit* field) {
        refuse(PageWhen, field, tr("Bitte geben Sie mindestens eine Uhrzeit ein, z.B. 12:00; 16:30.").toStdString());
        return false;
    };
    if (RBDay->isChecked() && EDTime->text().isEmpty())
        return noTime(EDTime);
    if (RBweek->isChecked() && EDweektime->text().isEmpty())
        return noTime(EDweektime);
    if (RBMonth->isChecked() && EDMonthtime->text().isEmpty())
        return noTime(EDMonthtime);
    if (RBDay->isChecked() &&
        std::none_of(CHBWeekdays.begin(), CHBWeekdays.end(), [](const QCheckBox* day) { return day->isChecked(); })) {
        refuse(PageWhen, CHBWeekdays[0], tr("Bitte wählen Sie mindestens einen Wochentag.").toStdString());
        return false;
    }
    if (RBFree->isChecked()) {
        const std::string list = EDFree->text().toStdString();
        if (list.empty() || list.find("30.12.1899") != std::string::npos) {
            refuse(PageWhen, EDFree,
                   tr("Die Zeitpunkte sind nicht lesbar. Bitte geben Sie sie in der Form 24.12.2026-18:00; "
                      "31.12.2026-12:00 ein.")
                       .toStdString());
            return false;
        }
    }
    if (lastBeforeFirst()) {
        refuse(PageWhen, EDEndDate,
               tr("Die letzte Sicherung liegt vor der ersten; so würde das Profil nie ausgeführt. Bitte korrigieren "
                  "Sie die Daten.")
                   .toStdString());
        return false;
    }
    return true;
}

bool ProfileWizard::validateLimits()
{
    // Longer secrets than the profile file can carry would be dropped when it is written: an
    // encrypted backup without its password does not run, a logon without its password fails.
    const auto tooLong = [this](int target, QWidget* field, const QString& message, std::size_t limit) {
        refuse(target, field, message.arg(limit).toStdString());
        return false;
    };
    const QString password =
        tr("Das Passwort ist zu lang: höchstens %1 Byte (ein Umlaut zählt zwei). Bitte geben Sie ein kürzeres ein.");
    if (CHBCompress->isChecked() && CHBCompress->isEnabled() && CHBEncrypt->isChecked() &&
        EDPassword->text().toStdString().size() > MaxZipPasswordBytes)
        return tooLong(PageCompress, EDPassword, password, MaxZipPasswordBytes);
    const bool logon = (CHBSecurity->isChecked() || CHBFTP->isChecked()) && !EDNetUser->text().isEmpty();
    if (logon && EDNetUser->text().toStdString().size() > MaxNetUserBytes)
        return tooLong(PageDest, EDNetUser,
                       tr("Der Benutzername ist zu lang: höchstens %1 Byte (ein Umlaut zählt zwei). Bitte geben Sie "
                          "einen kürzeren ein."),
                       MaxNetUserBytes);
    if (logon && m_netPasswordBuffer.size() > MaxNetPasswdBytes)
        return tooLong(PageDest, EDNetPasswd, password, MaxNetPasswdBytes);
    return true;
}

void ProfileWizard::accept()
{
    if (!validate())
        return;
    if (m_context.dialogs) {
        // Cancel keeps the wizard open, so the user can look at the folders once more.
        if (RBDelete->isChecked() &&
            !m_context.dialogs->AskWarning(tr("Achtung: Sie beabsichtigen Daten automatisch zu löschen! Bitte "
                                              "kontrollieren Sie die Quellverzeichnisse.\nAlle gewählten Daten werden "
                                              "beim Durchführen dieses Profils gelöscht!")
                                               .toStdString()))
            return;
        if (RBMove->isChecked() &&
            !m_context.dialogs->AskWarning(tr("Achtung: Sie beabsichtigen Daten automatisch zu verschieben! Bitte "
                                              "kontrollieren Sie das Zielverzeichnisse.\nDaten im Zielverzeichnis "
                                              "könnten überschrieben werden!")
                                               .toStdString()))
            return;
    }
    m_finished = true;
    QDialog::accept();
}

bool ProfileWizard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == EDPassword2 && event->type() == QEvent::FocusOut) {
        // Leaving for another window or for cancelling is no entry to check; finishing checks it
        // itself.
        const QWidget* next = QApplication::focusWidget();
        if (isActiveWindow() && next != BTCancel && next != BTReady)
            EDPassword2Exit();
    }
    // A synchronisation takes one folder: the folder a click or the space bar acts on is noted, and
    // once its box has changed the others are unticked (treeItemChanged). A click on a name or an
    // expander changes no box and leaves the folder chosen alone.
    if (RBSync->isChecked() && event->type() == QEvent::MouseButtonPress && watched == EDirTreeWidget->viewport())
        m_syncClicked = EDirTreeWidget->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    if (RBSync->isChecked() && event->type() == QEvent::KeyPress &&
        (watched == EDirTreeWidget || watched == EDirTreeWidget->viewport()) &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space)
        m_syncClicked = EDirTreeWidget->currentItem();
    return QDialog::eventFilter(watched, event);
}
