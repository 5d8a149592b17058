#include "ui/OptionsDialog.h"

#include "app/Dialogs.h"
#include "base/Text.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QSlider* Slider(int minimum, int maximum, QWidget* parent)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setRange(minimum, maximum);
    slider->setPageStep(1);
    slider->setTickPosition(QSlider::TicksBelow);
    return slider;
}

/// "Niedrig" [slider] "Hoch" in a group.
QGroupBox* SliderGroup(const QString& title, QSlider* slider, QWidget* parent)
{
    auto* group = new QGroupBox(title, parent);
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(new QLabel(OptionsDialog::tr("Niedrig"), group));
    layout->addWidget(slider, 1);
    layout->addWidget(new QLabel(OptionsDialog::tr("Hoch"), group));
    return group;
}

QButtonGroup* RadioGroup(QGroupBox* box, const QStringList& items, QList<QRadioButton*>* buttons = nullptr)
{
    auto* group = new QButtonGroup(box);
    auto* layout = new QVBoxLayout(box);
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items[i], box);
        group->addButton(radio, i);
        layout->addWidget(radio);
        if (buttons)
            buttons->append(radio);
    }
    return group;
}

} // namespace

OptionsDialog::OptionsDialog(ProgramSettings& settings, OptionsServices services, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_services(std::move(services))
{
    setObjectName(QStringLiteral("TFMOption"));
    new QVBoxLayout(this);
    build();
    fill(m_settings, m_services.autostart && m_services.autostart());
    Pages->setCurrentIndex(0);
}

void OptionsDialog::build()
{
    setWindowTitle(tr("Optionen"));
    m_colourButtons.clear();
    Pages = new QTabWidget(this);
    Pages->addTab(generalPage(), tr("Allgemein"));
    Pages->addTab(logPage(), tr("Protokoll"));
    Pages->addTab(backupPage(), tr("Sicherung"));
    Pages->addTab(ftpPage(), tr("FTP"));
    Pages->addTab(updatePage(), tr("Update"));
    m_buttons = new QWidget(this);
    BTCancel = new QPushButton(tr("&Abbrechen"), m_buttons);
    BTOk = new QPushButton(tr("&OK"), m_buttons);
    BTOk->setDefault(true);
    connect(BTOk, &QPushButton::clicked, this, &OptionsDialog::accept);
    connect(BTCancel, &QPushButton::clicked, this, &OptionsDialog::reject);
    auto* buttons = new QHBoxLayout(m_buttons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch(1);
    buttons->addWidget(BTOk);
    buttons->addWidget(BTCancel);
    layout()->addWidget(Pages);
    layout()->addWidget(m_buttons);
}

void OptionsDialog::changeEvent(QEvent* event)
{
    // The language is chosen in this dialog: once the choice has been handled, the pages are made
    // again in the new language with the values shown.
    if (event->type() == QEvent::LanguageChange && Pages)
        QMetaObject::invokeMethod(this, &OptionsDialog::rebuild, Qt::QueuedConnection);
    QDialog::changeEvent(event);
}

void OptionsDialog::rebuild()
{
    ProgramSettings shown = m_settings;
    collect(shown);
    const QString size = EDSize->text();
    const bool startup = RBStartup->isChecked();
    const int page = Pages->currentIndex();
    delete Pages;
    delete m_buttons;
    build();
    fill(shown, startup);
    EDSize->setText(size);
    Pages->setCurrentIndex(page);
}

QWidget* OptionsDialog::generalPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* start = new QGroupBox(tr("Programmstart"), page);
    auto* startLayout = new QGridLayout(start);
    RBStartup = new QRadioButton(tr("Autostart (beim Systemstart)"), start);
    RBnostart = new QRadioButton(tr("nicht automatisch starten"), start);
    auto* waitBefore = new QLabel(tr("nach Autostart"), start);
    SPEWait = new QSpinBox(start);
    SPEWait->setRange(0, MaxWaitAfterAutostartMinutes);
    auto* waitAfter = new QLabel(tr("min warten"), start);
    startLayout->addWidget(RBStartup, 0, 0, 1, 3);
    startLayout->addWidget(waitBefore, 1, 0);
    startLayout->addWidget(SPEWait, 1, 1);
    startLayout->addWidget(waitAfter, 1, 2);
    startLayout->addWidget(RBnostart, 2, 0, 1, 3);
    startLayout->setColumnStretch(3, 1);
    m_waitControls = {waitBefore, SPEWait, waitAfter};
    connect(RBStartup, &QRadioButton::clicked, this, &OptionsDialog::startupClicked);
    connect(RBnostart, &QRadioButton::clicked, this, &OptionsDialog::startupClicked);
    layout->addWidget(start);

    auto* language = new QGroupBox(tr("Sprache"), page);
    auto* languageLayout = new QHBoxLayout(language);
    languageLayout->addWidget(new QLabel(tr("Sprache auswählen:"), language));
    CBSprache = new QComboBox(language);
    CBSprache->addItems({tr("Deutsch"), tr("Englisch")});
    languageLayout->addWidget(CBSprache);
    languageLayout->addStretch(1);
    layout->addWidget(language);

    auto* looks = new QHBoxLayout;
    auto* skins = new QGroupBox(tr("Menü-Layout"), page);
    RGSkins = RadioGroup(skins, {tr("Standard"), tr("Office XP"), tr("Windows XP")});
    auto* colours = new QGroupBox(tr("Menü-Farbdefinition"), page);
    RGColors = RadioGroup(colours, {tr("Office XP"), tr("Windows XP")}, &m_colourButtons);
    looks->addWidget(skins);
    looks->addWidget(colours);
    layout->addLayout(looks);
    layout->addStretch(1);
    return page;
}

QWidget* OptionsDialog::logPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* file = new QGroupBox(tr("Protokoll-Datei"), page);
    auto* fileLayout = new QGridLayout(file);
    EDSize = new QLineEdit(file);
    EDSize->setMaximumWidth(100);
    BTDeleteLog = new QPushButton(tr("Protokoll löschen"), file);
    fileLayout->addWidget(new QLabel(tr("Maximale Größe:"), file), 0, 0);
    fileLayout->addWidget(EDSize, 0, 1);
    fileLayout->addWidget(new QLabel(tr("kB"), file), 0, 2);
    fileLayout->addWidget(BTDeleteLog, 0, 4);
    fileLayout->setColumnStretch(3, 1);
    CHBAll = new QCheckBox(tr("Backup jeder Einzeldatei protokollieren"), file);
    CHBError = new QCheckBox(tr("Fehler (Lesefehler) protokollieren"), file);
    CHBProfile = new QCheckBox(tr("Backup pro Verzeichnis protokollieren"), file);
    fileLayout->addWidget(CHBAll, 1, 0, 1, 5);
    fileLayout->addWidget(CHBError, 2, 0, 1, 5);
    fileLayout->addWidget(CHBProfile, 3, 0, 1, 5);
    connect(BTDeleteLog, &QPushButton::clicked, this, [this] {
        if (m_services.deleteLog)
            m_services.deleteLog();
    });
    layout->addWidget(file);
    auto* messages = new QGroupBox(tr("Fehlermeldungen"), page);
    auto* messagesLayout = new QGridLayout(messages);
    CHBShowError = new QCheckBox(tr("Bei Fehlern nach Sicherung Meldung am Bildschirm ausgeben"), messages);
    CHBNotifySuccess = new QCheckBox(tr("Auch erfolgreiche Sicherungen melden"), messages);
    CHBNotifySuccess->setObjectName(QStringLiteral("CHBNotifySuccess"));
    SPEOverdueDays = new QSpinBox(messages);
    SPEOverdueDays->setObjectName(QStringLiteral("SPEOverdueDays"));
    SPEOverdueDays->setRange(1, MaxOverdueDays);
    SPEOverdueDays->setMaximumWidth(90);
    SPEOverdueDays->setToolTip(tr("Ein Profil ist überfällig, wenn seine letzte fehlerfreie Sicherung länger "
                                  "zurückliegt als sein Intervall und diese Tage (bei wöchentlichen und monatlichen "
                                  "Profilen mindestens ein weiteres Intervall)."));
    EDRunOnFailure = new QLineEdit(messages);
    EDRunOnFailure->setObjectName(QStringLiteral("EDRunOnFailure"));
    EDRunOnFailure->setPlaceholderText(tr("z.B. /usr/local/bin/sicherung-melden"));
    EDRunOnFailure->setToolTip(tr("Der Befehl wird nach jeder fehlgeschlagenen, nicht gestarteten, unterbrochenen oder "
                                  "überfälligen Sicherung ausgeführt, ohne Shell. Er erhält den Bericht auf der "
                                  "Standardeingabe und TRESORIO_PROFILE, TRESORIO_ERRORS, TRESORIO_OUTCOME, "
                                  "TRESORIO_FIRST_ERROR und TRESORIO_REPORT in der Umgebung."));
    messagesLayout->addWidget(CHBShowError, 0, 0, 1, 3);
    messagesLayout->addWidget(CHBNotifySuccess, 1, 0, 1, 3);
    messagesLayout->addWidget(new QLabel(tr("Überfällig nach Intervall und"), messages), 2, 0);
    messagesLayout->addWidget(SPEOverdueDays, 2, 1);
    messagesLayout->addWidget(new QLabel(tr("Tagen"), messages), 2, 2);
    messagesLayout->addWidget(new QLabel(tr("Befehl bei Fehlschlag:"), messages), 3, 0);
    messagesLayout->addWidget(EDRunOnFailure, 3, 1, 1, 3);
    messagesLayout->setColumnStretch(3, 1);
    layout->addWidget(messages);
    layout->addStretch(1);
    return page;
}

QWidget* OptionsDialog::backupPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    TRBPriority = Slider(-2, 2, page);
    layout->addWidget(SliderGroup(tr("Hintergrundaktivität"), TRBPriority, page));
    auto* types = new QGroupBox(tr("Dateitypen berücksichtigen"), page);
    auto* typesLayout = new QHBoxLayout(types);
    CHBSystem = new QCheckBox(tr("&System"), types);
    CHBHidden = new QCheckBox(tr("&Hidden"), types);
    CHBReadOnly = new QCheckBox(tr("&Read Only"), types);
    for (QCheckBox* box : {CHBSystem, CHBHidden, CHBReadOnly})
        typesLayout->addWidget(box);
    typesLayout->addStretch(1);
    layout->addWidget(types);
    TRBCompression = Slider(2, 9, page);
    layout->addWidget(SliderGroup(tr("Kompression"), TRBCompression, page));
    layout->addStretch(1);
    return page;
}

QWidget* OptionsDialog::ftpPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* transfer = new QGroupBox(tr("FTP-Transfer"), page);
    auto* transferLayout = new QVBoxLayout(transfer);
    auto* explanation = new QLabel(tr("Dateien mit diesen Endungen überträgt die Einstellung \"Auto\" als Text, alle "
                                      "anderen binär. Eine Maske je Zeile."),
                                   transfer);
    explanation->setWordWrap(true);
    transferLayout->addWidget(explanation);
    MEFTPTransferEXT = new QPlainTextEdit(transfer);
    MEFTPTransferEXT->setTabChangesFocus(true);
    transferLayout->addWidget(MEFTPTransferEXT);
    layout->addWidget(transfer, 1);
    return page;
}

QWidget* OptionsDialog::updatePage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* update = new QGroupBox(tr("Programm-Update"), page);
    auto* updateLayout = new QGridLayout(update);
    CHBAutoUpdate = new QCheckBox(tr("Automatisch im Internet nach Programmupdates schauen"), update);
    auto* every = new QLabel(tr("Alle"), update);
    SPEAutoUpdateNext = new QSpinBox(update);
    SPEAutoUpdateNext->setRange(1, 100);
    auto* days = new QLabel(tr("Tage"), update);
    auto* proxy = new QLabel(tr("Über diesen Proxy:"), update);
    EDAutoUpdateProxy = new QLineEdit(update);
    EDAutoUpdateProxy->setToolTip(tr("Rechnername und Port des Proxys, z.B. proxy.example.org:3128, mit Anmeldung "
                                     "benutzer:kennwort@proxy.example.org:3128; leer oder \"-\": kein Proxy"));
    updateLayout->addWidget(CHBAutoUpdate, 0, 0, 1, 4);
    updateLayout->addWidget(every, 1, 0);
    updateLayout->addWidget(SPEAutoUpdateNext, 1, 1);
    updateLayout->addWidget(days, 1, 2);
    updateLayout->addWidget(proxy, 2, 0, 1, 4);
    updateLayout->addWidget(EDAutoUpdateProxy, 3, 0, 1, 4);
    updateLayout->setColumnStretch(3, 1);
    m_updateControls = {every, SPEAutoUpdateNext, days, proxy, EDAutoUpdateProxy};
    connect(CHBAutoUpdate, &QCheckBox::clicked, this, &OptionsDialog::autoUpdateClicked);
    layout->addWidget(update);
    layout->addStretch(1);
    return page;
}

void OptionsDialog::fill(const ProgramSettings& s, bool autostart)
{
    CBSprache->setCurrentIndex(s.Language == 1 ? 1 : 0);
    EDSize->setText(QString::number(s.LogSize));
    SPEWait->setValue(s.WaitAfterAutostart);
    (autostart ? RBStartup : RBnostart)->setChecked(true);
    CHBAll->setChecked(s.LogAll);
    CHBError->setChecked(s.LogError);
    CHBProfile->setChecked(s.LogProfile);
    CHBShowError->setChecked(s.ShowError);
    CHBNotifySuccess->setChecked(s.NotifySuccess);
    SPEOverdueDays->setValue(s.OverdueDays);
    EDRunOnFailure->setText(QString::fromStdString(s.RunOnFailure));
    TRBPriority->setValue(s.Priority);
    CHBSystem->setChecked(s.System);
    CHBHidden->setChecked(s.Hidden);
    CHBReadOnly->setChecked(s.ReadOnly);
    TRBCompression->setValue(s.Compression);
    CHBAutoUpdate->setChecked(s.AutoUpdate);
    SPEAutoUpdateNext->setValue(s.AutoUpdateNext);
    EDAutoUpdateProxy->setText(QString::fromStdString(s.AutoUpdateProxy));
    if (QAbstractButton* skin = RGSkins->button(s.MenuStyle))
        skin->setChecked(true);
    if (QAbstractButton* colour = RGColors->button(s.MenuColor))
        colour->setChecked(true);
    m_settings.FTPTransferEXT = Trim(m_settings.FTPTransferEXT);
    const std::string shownMasks = Trim(s.FTPTransferEXT);
    const std::string masks =
        shownMasks.empty() || shownMasks == "\"\"" ? std::string(DefaultFtpTransferExt) + "," : shownMasks;
    QStringList lines;
    for (const std::string& mask : SplitCommaText(masks))
        lines << QString::fromStdString(mask);
    MEFTPTransferEXT->setPlainText(lines.join(QLatin1Char('\n')));
    startupClicked();
    autoUpdateClicked();
    for (QRadioButton* colour : m_colourButtons)
        colour->setEnabled(RGSkins->checkedId() > 0);

    // These apply at once, and stay when the dialog is cancelled.
    connect(CBSprache, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_services.setLanguage)
            m_services.setLanguage(index);
    });
    connect(RGSkins, &QButtonGroup::idClicked, this, &OptionsDialog::skinClicked);
    connect(RGColors, &QButtonGroup::idClicked, this, [this](int colour) {
        if (m_services.setSkin)
            m_services.setSkin(RGSkins->checkedId(), colour);
    });
}

void OptionsDialog::startupClicked()
{
    for (QWidget* widget : m_waitControls)
        widget->setEnabled(RBStartup->isChecked());
}

void OptionsDialog::autoUpdateClicked()
{
    for (QWidget* widget : m_updateControls)
        widget->setEnabled(CHBAutoUpdate->isChecked());
}

void OptionsDialog::skinClicked()
{
    const int layout = RGSkins->checkedId();
    if (m_services.setSkin)
        m_services.setSkin(layout, m_settings.MenuColor);
    if (QAbstractButton* colour = RGColors->button(m_settings.MenuColor))
        colour->setChecked(true);
    for (QRadioButton* colour : m_colourButtons)
        colour->setEnabled(layout > 0);
}

void OptionsDialog::collect(ProgramSettings& s) const
{
    s.LogAll = CHBAll->isChecked();
    s.LogError = CHBError->isChecked();
    s.LogProfile = CHBProfile->isChecked();
    s.ShowError = CHBShowError->isChecked();
    s.NotifySuccess = CHBNotifySuccess->isChecked();
    s.OverdueDays = SPEOverdueDays->value();
    s.RunOnFailure = Trim(EDRunOnFailure->text().toStdString());
    s.Priority = TRBPriority->value();
    s.System = CHBSystem->isChecked();
    s.Hidden = CHBHidden->isChecked();
    s.ReadOnly = CHBReadOnly->isChecked();
    s.Compression = TRBCompression->value();
    // Applies from the next start: the scheduler's tick is not stretched for the rest of this run.
    s.WaitAfterAutostart = SPEWait->value();
    s.AutoUpdate = CHBAutoUpdate->isChecked();
    s.AutoUpdateNext = SPEAutoUpdateNext->value();
    s.AutoUpdateProxy = EDAutoUpdateProxy->text().toStdString();
    std::vector<std::string> masks;
    for (const QString& line : MEFTPTransferEXT->toPlainText().split(QLatin1Char('\n')))
        masks.push_back(Trim(line.toStdString()));
    s.FTPTransferEXT = JoinCommaText(masks);
}

void OptionsDialog::accept()
{
    // A size that is no number, or absurd, is refused instead of becoming 0 (which would keep no log).
    bool number = false;
    const long long size = EDSize->text().trimmed().toLongLong(&number);
    if (!number || size < 1 || size > MaxLogSize) {
        Pages->setCurrentIndex(1);
        if (m_services.dialogs)
            m_services.dialogs->ShowError(tr("Die maximale Größe des Protokolls muss eine Zahl von 1 bis %1 (kB) sein.")
                                              .arg(MaxLogSize)
                                              .toStdString());
        EDSize->setFocus();
        EDSize->selectAll();
        return;
    }
    m_settings.LogSize = static_cast<int>(size);
    const bool autostart = m_services.autostart && m_services.autostart();
    if (RBStartup->isChecked() != autostart && m_services.setAutostart)
        m_services.setAutostart(RBStartup->isChecked());
    collect(m_settings);
    QDialog::accept();
}
