#include "ui/SplashScreen.h"

#include "ui/Icons.h"

#include <QPainter>
#include <QTimer>

namespace {

QPixmap splashPicture()
{
    QPixmap picture(360, 180);
    picture.fill(QColor(38, 70, 120));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    ProgramIcon().paint(&painter, QRect(24, 50, 80, 80));
    painter.setPen(Qt::white);
    QFont title = painter.font();
    title.setPointSize(20);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRect(120, 52, 230, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Kestrova Tresorio"));
    QFont small = painter.font();
    small.setPointSize(9);
    small.setBold(false);
    painter.setFont(small);
    painter.drawText(QRect(120, 94, 230, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Version %1").arg(QStringLiteral(TRESORIO_VERSION)));
    return picture;
}

} // namespace

SplashScreen::SplashScreen() : QSplashScreen(splashPicture())
{
    setObjectName(QStringLiteral("TFMSplash"));
}

void SplashScreen::ShowForAWhile()
{
    show();
    QTimer::singleShot(ShownMs, this, &QWidget::close);
}
