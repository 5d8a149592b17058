#pragma once

#include <QSplashScreen>

/// The picture shown while the program starts; it closes by itself.
class SplashScreen final : public QSplashScreen
{
    Q_OBJECT

public:
    /// How long it stays at most.
    static constexpr int ShownMs = 2000;

    SplashScreen();
    Q_DISABLE_COPY_MOVE(SplashScreen)

    /// Shows it and closes it after ShownMs.
    void ShowForAWhile();
};
