// Shows the controls side by side as the windows use them, for pictures of them:
//   tresorio-gallery FOLDER
//   tresorio-gallery FOLDER --calendar-picture FILE
// The folder trees start at FOLDER (the flat and the soft pictures) with folders checked as
// assigned; the calendar shows May 2004 with its holidays and a date field below it.

#include "components/ECalendarPanel.h"
#include "components/ECalendarPopup.h"
#include "components/EDirTree.h"
#include "components/EEditDate.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

int main(int argc, char** argv)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    const std::string folder = argc > 1 ? std::string(argv[1]) + "/" : std::string("/");
    QWidget window;
    window.setWindowTitle(QStringLiteral("Tresorio – Steuerelemente"));
    auto* grid = new QGridLayout(&window);
    int column = 0;
    for (const TreeStyle style : {TreeStyle::style95, TreeStyle::styleXP}) {
        auto* tree = new EDirTree({{QStringLiteral("Persönlicher Ordner"), folder, MediumKind::Fixed},
                                   {QStringLiteral("FOTO STICK"), "/media/anna/FOTO STICK/", MediumKind::Removable},
                                   {QStringLiteral("nas"), "/mnt/nas/", MediumKind::Network}},
                                  {}, &window);
        tree->setPictureStyle(style);
        tree->setSelectedDirs({folder + "Fotos/2024/", folder + "Dokumente/"});
        tree->expandAll();
        tree->setMinimumSize(280, 330);
        grid->addWidget(new QLabel(style == TreeStyle::styleXP ? QStringLiteral("styleXP") : QStringLiteral("style95")),
                        0, column);
        grid->addWidget(tree, 1, column++);
    }
    auto* calendar = new ECalendarPanel(&window);
    calendar->setDatum(*TryEncodeDate(2004, 5, 20));
    calendar->setToday(*TryEncodeDate(2004, 5, 12));
    calendar->setMinimumSize(calendar->sizeHint() + QSize(40, 20));
    auto* date = new EEditDate(&window);
    date->setDatum(*TryEncodeDate(2004, 12, 24));
    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(QStringLiteral("Kalender")));
    side->addWidget(calendar);
    side->addWidget(new QLabel(QStringLiteral("Erste Sicherung:")));
    side->addWidget(date);
    side->addStretch(1);
    grid->addLayout(side, 1, column);
    window.show();
    // With --calendar-picture FILE the calendar that drops down from the date field is drawn into
    // FILE as it shows on 24 December 2004, and the program ends.
    if (argc > 3 && std::string(argv[2]) == "--calendar-picture") {
        ECalendarPopup popup(&window);
        popup.panel().setDatum(date->Datum());
        popup.panel().setToday(*TryEncodeDate(2004, 12, 10));
        popup.adjustSize();
        popup.resize(popup.sizeHint() + QSize(40, 20));
        popup.show();
        QApplication::processEvents();
        return popup.grab().save(QString::fromLocal8Bit(argv[3])) ? 0 : 1;
    }
    return QApplication::exec();
}
