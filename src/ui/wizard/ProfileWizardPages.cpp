// The seven pages of the profile wizard and their controls, with the values a new profile starts
// with. The rules between the controls are in ProfileWizardRules.cpp.

#include "components/EEditDate.h"
#include "ui/wizard/ProfileWizard.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

namespace {

/// A caption in bold at the left of a group of controls ("Optionen: ").
QLabel* SectionLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLabel* WrappedLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

QToolButton* BrowseButton(const QString& tip, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(QStringLiteral("…"));
    button->setToolTip(tip);
    return button;
}

QSpinBox* SpinBox(int minimum, int maximum, int value, QWidget* parent)
{
    auto* spin = new QSpinBox(parent);
    spin->setRange(minimum, maximum);
    spin->setValue(value);
    return spin;
}

QPlainTextEdit* Memo(QWidget* parent, bool horizontalScroll)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(horizontalScroll ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    memo->setTabChangesFocus(true);
    return memo;
}

/// Two radio buttons side by side on a panel of their own, the first checked.
QWidget* RadioPair(QWidget* parent, QRadioButton*& first, const QString& firstText, QRadioButton*& second,
                   const QString& secondText)
{
    auto* panel = new QWidget(parent);
    first = new QRadioButton(firstText, panel);
    second = new QRadioButton(secondText, panel);
    auto* group = new QButtonGroup(panel);
    group->addButton(first);
    group->addButton(second);
    first->setChecked(true);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(first);
    layout->addWidget(second);
    layout->addStretch(1);
    return panel;
}

QWidget* Row(QWidget* parent, std::initializer_list<QWidget*> widgets, bool stretch = true)
{
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* widget : widgets)
        layout->addWidget(widget);
    if (stretch)
        layout->addStretch(1);
    return row;
}

} // namespace

QWidget* ProfileWizard::pageFrame(const QString& heading, QWidget* content)
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* band = new QFrame(page);
    band->setObjectName(QStringLiteral("WizardHeading"));
    band->setAutoFillBackground(true);
    QPalette palette = band->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Base));
    band->setPalette(palette);
    band->setFrameShape(QFrame::StyledPanel);
    auto* bandLayout = new QHBoxLayout(band);
    auto* title = new QLabel(heading, band);
    title->setObjectName(QStringLiteral("WizardHeadingText"));
    QFont font = title->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.2);
    title->setFont(font);
    bandLayout->addWidget(title, 1);
    auto* picture = new QLabel(band);
    picture->setPixmap(QIcon(QStringLiteral(":/icons/tresorio.svg")).pixmap(40, 40));
    bandLayout->addWidget(picture);
    layout->addWidget(band);
    layout->addWidget(content, 1);
    content->setContentsMargins(12, 8, 12, 8);
    return page;
}

QWidget* ProfileWizard::buildIntroPage()
{
    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    layout->addWidget(WrappedLabel(tr("Mit diesem Assistenten legen Sie beliebig viele Sicherungsprofile an. Ein "
                                      "Profil bestimmt, was, wann, wie und wohin gesichert wird."),
                                   content));
    layout->addWidget(WrappedLabel(tr("Der Name ist frei wählbar; er sollte beschreiben, was das Profil tut, zum "
                                      "Beispiel \"Fotos auf USB-Stick\"."),
                                   content));
    layout->addSpacing(12);
    layout->addWidget(new QLabel(tr("Namen des Sicherungsprofils:"), content));
    EDProfilename = new QLineEdit(content);
    EDProfilename->setObjectName(QStringLiteral("EDProfilename"));
    EDProfilename->setToolTip(tr("Geben Sie hier den Namen des Sicherungsprofils ein"));
    layout->addWidget(EDProfilename);
    layout->addSpacing(12);
    CHBAdvanced = new QCheckBox(tr("Fortgeschrittene Einstellungen anzeigen"), content);
    layout->addWidget(CHBAdvanced);
    layout->addStretch(1);
    layout->addWidget(
        WrappedLabel(tr("Klicken Sie auf \"Abbrechen\", um das Sicherungsprofil unverändert zu lassen."), content));
    return pageFrame(tr("Willkommen beim Assistenten\nfür Ihr Sicherungsprofil"), content);
}

QWidget* ProfileWizard::buildHowPage()
{
    auto* content = new QWidget(this);
    auto* grid = new QGridLayout(content);
    grid->addWidget(SectionLabel(tr("Sicherungsart: "), content), 0, 0);
    auto* types = new QVBoxLayout;
    RBFull = new QRadioButton(tr("Vollständige Sicherung"), content);
    RBIncrement = new QRadioButton(tr("Inkrementelle Sicherung"), content);
    RBDifferential = new QRadioButton(tr("Differenzielle Sicherung"), content);
    RBSync = new QRadioButton(tr("Synchronisation"), content);
    RBMove = new QRadioButton(tr("Dateien verschieben"), content);
    RBDelete = new QRadioButton(tr("Dateien löschen"), content);
    RBDelete->setToolTip(tr("Achtung: Alle gewählten Dateien werden beim Durchführen des Profils gelöscht, "
                            "unwiderruflich oder in den Papierkorb."));
    auto* typeGroup = new QButtonGroup(content);
    for (QRadioButton* radio : {RBFull, RBIncrement, RBDifferential, RBSync, RBMove, RBDelete}) {
        typeGroup->addButton(radio);
        types->addWidget(radio);
    }
    RBFull->setChecked(true);
    grid->addLayout(types, 0, 1);

    grid->addWidget(SectionLabel(tr("Optionen: "), content), 1, 0);
    auto* options = new QVBoxLayout;
    // PABackupOption
    auto* selection = RadioPair(content, RBArchive, tr("nach Archivbit"), RBDate, tr("nach Änderungsdatum"));
    options->addWidget(selection);
    LBIncrFull = new QLabel(tr("Aufbauend auf Vollbackup:"), content);
    CBIncrFull = new QComboBox(content);
    CBIncrFull->setEditable(false);
    CBIncrFull->setMinimumContentsLength(24);
    auto* incrFull = Row(content, {LBIncrFull, CBIncrFull});
    options->addWidget(incrFull);
    // PADeleteOption
    auto* deletion =
        RadioPair(content, RBDeleteNow, tr("unwiderruflich löschen"), RBDeleteRecycle, tr("in Papierkorb löschen"));
    options->addWidget(deletion);
    CHBverify = new QCheckBox(tr("Sicherung verifizieren"), content);
    CHBbit = new QCheckBox(tr("Bitweise Prüfung"), content);
    options->addWidget(CHBverify);
    auto* bitRow = Row(content, {CHBbit});
    bitRow->layout()->setContentsMargins(20, 0, 0, 0);
    options->addWidget(bitRow);
    options->addStretch(1);
    grid->addLayout(options, 1, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    m_advancedOnly.insert(m_advancedOnly.end(), {selection, incrFull, CHBverify, bitRow});
    return pageFrame(tr("Sicherungsart bestimmen"), content);
}

QWidget* ProfileWizard::buildSourcePage()
{
    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    LBSource = new QLabel(tr("Diese Verzeichnissinhalte sichern: "), content);
    layout->addWidget(LBSource);
    PageControl1 = new QTabWidget(content);
    EDirTreeWidget = new EDirTree(m_context.roots, m_context.lister, PageControl1);
    EDirTreeWidget->setObjectName(QStringLiteral("EDirTree"));
    EDirTreeWidget->viewport()->installEventFilter(this);
    EDirTreeWidget->installEventFilter(this);
    PageControl1->addTab(EDirTreeWidget, tr("Explorer"));
    MESelectedDirs = Memo(PageControl1, true);
    MESelectedDirs->setObjectName(QStringLiteral("MESelectedDirs"));
    MESelectedDirs->setToolTip(tr("Ein Verzeichnis je Zeile"));
    PageControl1->addTab(MESelectedDirs, tr("Liste"));
    layout->addWidget(PageControl1, 3);
    LBOffline = new QLabel(content);
    LBOffline->setWordWrap(true);
    LBOffline->setTextFormat(Qt::PlainText);
    BTForgetOffline = new QToolButton(content);
    BTForgetOffline->setText(tr("Vergessen"));
    BTForgetOffline->setToolTip(tr("Diese Verzeichnisse aus dem Profil entfernen"));
    auto* offline = new QHBoxLayout;
    offline->addWidget(LBOffline, 1);
    offline->addWidget(BTForgetOffline);
    layout->addLayout(offline);

    auto* grid = new QGridLayout;
    grid->addWidget(SectionLabel(tr("Optionen: "), content), 0, 0);
    CHBWithsub = new QCheckBox(tr("mit Unterverzeichnissen"), content);
    CHBWithEmpty = new QCheckBox(tr("leere Verzeichnisse mitsichern"), content);
    CHBWithsub->setChecked(true);
    CHBWithEmpty->setChecked(true);
    grid->addWidget(Row(content, {CHBWithsub, CHBWithEmpty}), 0, 1, 1, 2);
    grid->addWidget(SectionLabel(tr("Dateifilter: "), content), 1, 0);
    grid->addWidget(new QLabel(tr("Einschließen:"), content), 1, 1);
    grid->addWidget(new QLabel(tr("Ausschließen: "), content), 1, 2);
    MEFilterIncl = Memo(content, false);
    MEFilterIncl->setObjectName(QStringLiteral("MEFilterIncl"));
    MEFilterExcl = Memo(content, false);
    MEFilterExcl->setObjectName(QStringLiteral("MEFilterExcl"));
    MEFilterExcl->setToolTip(
        tr("Eine Maske oder ein Verzeichnis je Zeile. Eine Zeile wie /privat schließt jedes "
           "Unterverzeichnis dieses Namens aus, ein vollständiger Pfad genau dieses Verzeichnis."));
    MEFilterIncl->setFixedHeight(64);
    MEFilterExcl->setFixedHeight(64);
    grid->addWidget(MEFilterIncl, 2, 1);
    grid->addWidget(MEFilterExcl, 2, 2);
    grid->addWidget(new QLabel(tr("Dateien, die mitgesichert oder ausgeschlossen werden (z.B. *.doc)"), content), 3, 1,
                    1, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    layout->addLayout(grid);
    return pageFrame(tr("Quelle bestimmen"), content);
}

QWidget* ProfileWizard::buildDestPage()
{
    auto* content = new QWidget(this);
    auto* grid = new QGridLayout(content);
    int row = 0;
    grid->addWidget(SectionLabel(tr("Sichern nach: "), content), row, 0);
    grid->addWidget(WrappedLabel(tr("Zielverzeichnis eingeben: Hier können auch eingehängte Netzlaufwerke und "
                                    "Makro-Variablen wie $date, $day, ..., $computername, $username usw. "
                                    "verwendet werden."),
                                 content),
                    row++, 1, 1, 2);
    LBDestination = new QLabel(tr("Zielverzeichnis:"), content);
    EDDest = new QLineEdit(content);
    EDDest->setObjectName(QStringLiteral("EDDest"));
    BBDestDr = BrowseButton(tr("Verzeichnis wählen"), content);
    BBDestNet = BrowseButton(tr("Eingehängtes Netzwerk-Dateisystem wählen"), content);
    BBDestNet->setText(tr("Netz…"));
    grid->addWidget(LBDestination, row, 0);
    grid->addWidget(Row(content, {EDDest, BBDestDr, BBDestNet}, false), row++, 1, 1, 2);

    auto* optionsLabel = SectionLabel(tr("Optionen: "), content);
    CHBDelete = new QCheckBox(tr("Ziel-Verzeichnis vorher löschen (unwiderruflich)"), content);
    CHBDelete->setToolTip(tr("Gesamten Inhalt des Zielverzeichnis vor jeder Sicherung löschen"));
    CHBDiskname = new QCheckBox(tr("Nur auf dieses Medium sichern"), content);
    EDDiskname = new QLineEdit(content);
    SPBDiskname = BrowseButton(tr("Name des Ziel-Mediums jetzt ermitteln"), content);
    auto* deleteRow = Row(content, {CHBDelete});
    auto* nameRow = Row(content, {CHBDiskname, EDDiskname, SPBDiskname});
    grid->addWidget(optionsLabel, row, 0);
    grid->addWidget(deleteRow, row++, 1, 1, 2);
    grid->addWidget(nameRow, row++, 1, 1, 2);

    LBDestOverwrite = SectionLabel(tr("Nicht überschreiben: "), content);
    CHBOverwrite = new QCheckBox(tr("Nicht überschreiben: Anzahl Generationen:"), content);
    // The profile keeps the number of generations in one byte.
    SPEgenerations = SpinBox(2, 255, 2, content);
    grid->addWidget(LBDestOverwrite, row, 0);
    grid->addWidget(Row(content, {CHBOverwrite, SPEgenerations}), row++, 1, 1, 2);

    auto* securityLabel = SectionLabel(tr("Sicherheit: "), content);
    CHBSecurity = new QCheckBox(tr("Im Zielrechner anmelden als:"), content);
    LBSecurityNote = WrappedLabel(tr("Nur für FTP-Server: Netzwerkfreigaben hängt das System ein, mit den "
                                     "Zugangsdaten, die dort hinterlegt sind."),
                                  content);
    LBSecurityNote->setEnabled(false);
    LBNetUser = new QLabel(tr("Benutzer:"), content);
    EDNetUser = new QLineEdit(content);
    LBNetpasswd = new QLabel(tr("Passwort:"), content);
    EDNetPasswd = new QLineEdit(content);
    EDNetPasswd->setEchoMode(QLineEdit::Password);
    auto* securityRow = Row(content, {CHBSecurity, LBSecurityNote}, false);
    auto* logonRow = Row(content, {LBNetUser, EDNetUser, LBNetpasswd, EDNetPasswd});
    grid->addWidget(securityLabel, row, 0);
    grid->addWidget(securityRow, row++, 1, 1, 2);
    grid->addWidget(logonRow, row++, 1, 1, 2);

    auto* ftpLabel = SectionLabel(tr("FTP-Server: "), content);
    CHBFTP = new QCheckBox(tr("FTP-Server:"), content);
    EDFTPServer = new QLineEdit(content);
    EDFTPServer->setToolTip(tr("Name oder IP-Adresse des Servers, wahlweise gefolgt von \":PORT\""));
    LBFTPMode = new QLabel(tr("Übertragung:"), content);
    CBFTPMode = new QComboBox(content);
    CBFTPMode->addItems({tr("Auto"), tr("Text"), tr("Binär")});
    // A new profile sends byte for byte: a text transfer may change line ends, and a backup must
    // arrive as it was. A profile shown again gets its own mode.
    CBFTPMode->setCurrentIndex(2);
    CBFTPMode->setToolTip(tr("Mit \"Auto\" werden Dateien mit bestimmten Endungen (einstellbar in den Optionen) "
                             "als Text übertragen, alle anderen binär."));
    CHBFTPPassive = new QCheckBox(tr("Passiver Modus"), content);
    CHBFTPPassive->setToolTip(tr("Hinter einer Firewall empfohlen"));
    auto* ftpRow = Row(content, {CHBFTP, EDFTPServer}, false);
    auto* ftpModeRow = Row(content, {LBFTPMode, CBFTPMode, CHBFTPPassive});
    grid->addWidget(ftpLabel, row, 0);
    grid->addWidget(ftpRow, row++, 1, 1, 2);
    grid->addWidget(ftpModeRow, row++, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
    m_advancedOnly.insert(m_advancedOnly.end(), {optionsLabel, deleteRow, nameRow, securityLabel, securityRow, logonRow,
                                                 ftpLabel, ftpRow, ftpModeRow});
    return pageFrame(tr("Ziel bestimmen"), content);
}

QWidget* ProfileWizard::buildCompressPage()
{
    auto* content = new QWidget(this);
    auto* grid = new QGridLayout(content);
    int row = 0;
    grid->addWidget(WrappedLabel(tr("Hier können Sie wählen, ob die Sicherung komprimiert erfolgen soll. "
                                    "Das ZIP-Archiv darf beliebig groß werden (ZIP64)."),
                                 content),
                    row++, 0, 1, 3);
    grid->addWidget(SectionLabel(tr("Komprimieren auf Wechselmedium: "), content), row++, 0, 1, 3);
    CHBCompress = new QCheckBox(tr("Komprimieren"), content);
    grid->addWidget(CHBCompress, row++, 0, 1, 3);
    LBFilename = new QLabel(tr("Dateiname:"), content);
    EDFilename = new QLineEdit(content);
    grid->addWidget(LBFilename, row, 0);
    grid->addWidget(EDFilename, row++, 1, 1, 2);
    CHBEncrypt = new QCheckBox(tr("Verschlüsseln"), content);
    grid->addWidget(CHBEncrypt, row++, 0, 1, 3);
    LBPassword = new QLabel(tr("Passwort:"), content);
    EDPassword = new QLineEdit(content);
    EDPassword->setEchoMode(QLineEdit::Password);
    LBPassword2 = new QLabel(tr("wiederholen:"), content);
    EDPassword2 = new QLineEdit(content);
    EDPassword2->setEchoMode(QLineEdit::Password);
    EDPassword2->installEventFilter(this);
    grid->addWidget(LBPassword, row, 0);
    grid->addWidget(Row(content, {EDPassword, LBPassword2, EDPassword2}), row++, 1, 1, 2);
    CHBTemp = new QCheckBox(tr("Temporäres Verzeichnis verwenden:"), content);
    EDTemp = new QLineEdit(content);
    SPBTemp = BrowseButton(tr("Verzeichnis wählen"), content);
    auto* tempRow = Row(content, {CHBTemp, EDTemp, SPBTemp}, false);
    grid->addWidget(tempRow, row++, 0, 1, 3);
    CHBKompLevel = new QCheckBox(tr("Kompression (abweichend v. Standard):"), content);
    LBComprMinus = new QLabel(QStringLiteral("-"), content);
    TRBCompression = new QSlider(Qt::Horizontal, content);
    TRBCompression->setRange(2, 9);
    TRBCompression->setPageStep(1);
    TRBCompression->setTickPosition(QSlider::TicksBelow);
    TRBCompression->setValue(2);
    LBComprPlus = new QLabel(QStringLiteral("+"), content);
    auto* levelRow = Row(content, {CHBKompLevel, LBComprMinus, TRBCompression, LBComprPlus});
    grid->addWidget(levelRow, row++, 0, 1, 3);
    CHBDelZip = new QCheckBox(tr("Zip -Datei vorher löschen"), content);
    grid->addWidget(CHBDelZip, row++, 0, 1, 3);
    CHBDiskspan = new QCheckBox(tr("auf mehrere Medien verteilen"), content);
    CHBDiskSpanErase = new QCheckBox(tr("Medium vorher formatieren"), content);
    grid->addWidget(Row(content, {CHBDiskspan, CHBDiskSpanErase}), row++, 0, 1, 3);
    LBMaxVolumeSize1 = new QLabel(tr("Maximale Dateigröße:"), content);
    EDMaxVolumeSize = SpinBox(0, std::numeric_limits<std::int32_t>::max(), 0, content);
    EDMaxVolumeSize->setSingleStep(10000);
    EDMaxVolumeSize->setSpecialValueText(QStringLiteral(" "));
    EDMaxVolumeSize->setMinimumWidth(120);
    LBMaxVolumeSize2 = new QLabel(tr("Bytes"), content);
    grid->addWidget(Row(content, {LBMaxVolumeSize1, EDMaxVolumeSize, LBMaxVolumeSize2}), row++, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(row, 1);
    m_advancedOnly.insert(m_advancedOnly.end(), {tempRow, levelRow, CHBDelZip});
    return pageFrame(tr("Komprimierung"), content);
}

QWidget* ProfileWizard::buildWhenPage()
{
    auto* content = new QWidget(this);
    auto* grid = new QGridLayout(content);
    grid->setVerticalSpacing(4);
    int row = 0;
    grid->addWidget(SectionLabel(tr("Sicherungszeiten: "), content), row++, 0, 1, 2);
    auto* periods = new QButtonGroup(content);
    RBNot = new QRadioButton(tr("Nicht periodisch sichern"), content);
    grid->addWidget(RBNot, row++, 0, 1, 2);

    RBHour = new QRadioButton(tr("Alle"), content);
    SPEHour = SpinBox(0, 24, 2, content);
    LBhour = new QLabel(tr("Stunden"), content);
    SPEMin = SpinBox(0, 59, 0, content);
    LBMinute = new QLabel(tr("Minuten"), content);
    grid->addWidget(RBHour, row, 0);
    grid->addWidget(Row(content, {SPEHour, LBhour, SPEMin, LBMinute}), row++, 1);

    RBDay = new QRadioButton(tr("Täglich"), content);
    const QStringList days = {tr("Mo"), tr("Di"), tr("Mi"), tr("Do"), tr("Fr"), tr("Sa"), tr("So")};
    auto* weekdays = new QWidget(content);
    auto* weekdayLayout = new QHBoxLayout(weekdays);
    weekdayLayout->setContentsMargins(0, 0, 0, 0);
    for (std::size_t day = 0; day < CHBWeekdays.size(); ++day) {
        CHBWeekdays[day] = new QCheckBox(days[static_cast<int>(day)], weekdays);
        CHBWeekdays[day]->setChecked(day < 5);
        weekdayLayout->addWidget(CHBWeekdays[day]);
    }
    weekdayLayout->addStretch(1);
    grid->addWidget(RBDay, row, 0);
    grid->addWidget(weekdays, row++, 1);
    LBtime = new QLabel(tr("Uhrzeit(en):"), content);
    EDTime = new QLineEdit(content);
    EDTime->setObjectName(QStringLiteral("EDTime"));
    EDTime->setToolTip(tr("Uhrzeit(en): Zeitpunkte durch Semikolon trennen, wie z.B.: 12:00; 16:30"));
    grid->addWidget(Row(content, {LBtime, EDTime}), row++, 1);

    RBweek = new QRadioButton(tr("Alle"), content);
    SPEweek = SpinBox(1, 20, 1, content);
    LBweek = new QLabel(tr("Wochen"), content);
    CBDay = new QComboBox(content);
    CBDay->addItems(
        {tr("Montag"), tr("Dienstag"), tr("Mittwoch"), tr("Donnerstag"), tr("Freitag"), tr("Samstag"), tr("Sonntag")});
    CBDay->setCurrentIndex(6);
    LBweek2 = new QLabel(tr("um"), content);
    EDweektime = new QLineEdit(QStringLiteral("12:00"), content);
    EDweektime->setMaximumWidth(70);
    LBweek3 = new QLabel(tr("Uhr"), content);
    grid->addWidget(RBweek, row, 0);
    grid->addWidget(Row(content, {SPEweek, LBweek, CBDay, LBweek2, EDweektime, LBweek3}), row++, 1);

    RBMonth = new QRadioButton(tr("Monatlich"), content);
    SPEMonthDay = SpinBox(1, 31, 1, content);
    LBMonth = new QLabel(tr("Tag des Monats"), content);
    LBMonth2 = new QLabel(tr("um"), content);
    EDMonthtime = new QLineEdit(QStringLiteral("12:00"), content);
    EDMonthtime->setMaximumWidth(70);
    LBMonth3 = new QLabel(tr("Uhr"), content);
    grid->addWidget(RBMonth, row, 0);
    grid->addWidget(Row(content, {SPEMonthDay, LBMonth, LBMonth2, EDMonthtime, LBMonth3}), row++, 1);

    RBFree = new QRadioButton(tr("Frei"), content);
    EDFree = new QLineEdit(content);
    EDFree->setObjectName(QStringLiteral("EDFree"));
    EDFree->setToolTip(tr("Einzelne Zeitpunkte, z.B.: 24.12.2026-18:00; 31.12.2026-12:00"));
    grid->addWidget(RBFree, row, 0);
    grid->addWidget(EDFree, row++, 1);
    for (QRadioButton* radio : {RBNot, RBHour, RBDay, RBweek, RBMonth, RBFree})
        periods->addButton(radio);
    RBDay->setChecked(true);

    grid->addWidget(SectionLabel(tr("Optionen: "), content), row++, 0, 1, 2);
    CHBMissedBackup = new QCheckBox(tr("Versäumte Sicherung nachholen"), content);
    CHBMissedBackup->setChecked(true);
    CHBOnStartup = new QCheckBox(tr("Sichern (auch) bei Programmstart"), content);
    CHBOnShutdown = new QCheckBox(tr("Sichern (auch) bei Programmende"), content);
    grid->addWidget(Row(content, {CHBMissedBackup, CHBOnStartup, CHBOnShutdown}), row++, 0, 1, 2);

    auto* rangeLabel = SectionLabel(tr("Sichern von bis: "), content);
    EDBeginDate = new EEditDate(content);
    EDBeginTime = new QLineEdit(content);
    EDEndDate = new EEditDate(content);
    EDEndTime = new QLineEdit(content);
    for (QLineEdit* time : {EDBeginTime, EDEndTime})
        time->setMaximumWidth(70);
    auto* fromRow = Row(content, {new QLabel(tr("Erste Sicherung:"), content), EDBeginDate,
                                  new QLabel(tr("um"), content), EDBeginTime, new QLabel(tr("Uhr"), content)});
    auto* toRow = Row(content, {new QLabel(tr("Letzte Sicherung:"), content), EDEndDate, new QLabel(tr("um"), content),
                                EDEndTime, new QLabel(tr("Uhr"), content)});
    grid->addWidget(rangeLabel, row++, 0, 1, 2);
    grid->addWidget(fromRow, row++, 0, 1, 2);
    grid->addWidget(toRow, row++, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
    m_advancedOnly.insert(m_advancedOnly.end(), {RBFree, EDFree, rangeLabel, fromRow, toRow});
    return pageFrame(tr("Zeitpunkt planen"), content);
}

QWidget* ProfileWizard::buildOptionPage()
{
    auto* content = new QWidget(this);
    auto* grid = new QGridLayout(content);
    int row = 0;
    grid->addWidget(SectionLabel(tr("Hintergrundaktivität:  "), content), row++, 0, 1, 3);
    CHBPriority = new QCheckBox(tr("abweichend vom Standard:"), content);
    LBPriority1 = new QLabel(QStringLiteral("-"), content);
    TRBPriority = new QSlider(Qt::Horizontal, content);
    TRBPriority->setRange(-2, 2);
    TRBPriority->setPageStep(1);
    TRBPriority->setTickPosition(QSlider::TicksBelow);
    TRBPriority->setValue(-2);
    LBPriority2 = new QLabel(QStringLiteral("+"), content);
    grid->addWidget(Row(content, {CHBPriority, LBPriority1, TRBPriority, LBPriority2}), row++, 0, 1, 3);

    grid->addWidget(SectionLabel(tr("Dateitypen berücksichtigen: "), content), row++, 0, 1, 3);
    CHBFileTypes = new QCheckBox(tr("abweichend vom Standard:"), content);
    CHBSystem = new QCheckBox(tr("&System"), content);
    CHBHidden = new QCheckBox(tr("&Hidden"), content);
    CHBReadOnly = new QCheckBox(tr("&Read Only"), content);
    grid->addWidget(Row(content, {CHBFileTypes, CHBSystem, CHBHidden, CHBReadOnly}), row++, 0, 1, 3);

    grid->addWidget(SectionLabel(tr("Symbolische Verknüpfungen: "), content), row++, 0, 1, 3);
    CHBFollowLinks = new QCheckBox(tr("Ziele von Verknüpfungen mitsichern"), content);
    CHBFollowLinks->setObjectName(QStringLiteral("CHBFollowLinks"));
    CHBFollowLinks->setToolTip(tr("Sonst wird eine Verknüpfung als Verknüpfung gesichert, wie sie ist."));
    grid->addWidget(CHBFollowLinks, row++, 0, 1, 3);

    grid->addWidget(SectionLabel(tr("Starten von Programmen: "), content), row++, 0, 1, 3);
    EDVor = new QLineEdit(content);
    SPBVor = BrowseButton(tr("Programm wählen"), content);
    CHBVor = new QCheckBox(tr("Warten auf Programmbeendigung"), content);
    grid->addWidget(new QLabel(tr("Vor Sicherung:"), content), row, 0);
    grid->addWidget(EDVor, row, 1);
    grid->addWidget(SPBVor, row++, 2);
    grid->addWidget(CHBVor, row++, 1, 1, 2);
    EDNach = new QLineEdit(content);
    SPBNach = BrowseButton(tr("Programm wählen"), content);
    CHBNach = new QCheckBox(tr("Warten auf Programmbeendigung"), content);
    grid->addWidget(new QLabel(tr("Nach Sicherung:"), content), row, 0);
    grid->addWidget(EDNach, row, 1);
    grid->addWidget(SPBNach, row++, 2);
    grid->addWidget(CHBNach, row++, 1, 1, 2);

    grid->addWidget(SectionLabel(tr("Rechner ausschalten: "), content), row++, 0, 1, 3);
    CHBshutdown = new QCheckBox(tr("Rechner danach ausschalten"), content);
    CHBshutdownForce = new QCheckBox(tr("Ohne Sicherheitsabfrage"), content);
    grid->addWidget(Row(content, {CHBshutdown, CHBshutdownForce}), row++, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
    return pageFrame(tr("Fortgeschrittene Optionen"), content);
}
