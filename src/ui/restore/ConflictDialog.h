#pragma once

#include "restore/Restorer.h"

#include <QDialog>

class QCheckBox;

/// The question for a file that exists at the target and differs from the version restored:
/// "ersetzen", "beide behalten (Name mit Datum)" or "überspringen", and "für alle" for the
/// files that follow. Closing it skips the file.
class ConflictDialog final : public QDialog
{
    Q_OBJECT

public:
    ConflictDialog(const QString& target, const QString& there, const QString& restored, QWidget* parent = nullptr);

    ConflictAnswer answer() const { return m_answer; }
    bool forAll() const;

private:
    ConflictAnswer m_answer = ConflictAnswer::Skip;
    QCheckBox* m_forAll;
};
