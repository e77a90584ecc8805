#pragma once

#include "platform/PlatformServices.h"

#include <QDialog>
#include <optional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// Picks a font name and a size in points, halves and tenths included; no style, effects or
// colour, as a note's font is only ever a name and a size. Notes keep Windows font names that
// Linux lacks: the chooser then shows the face the note is drawn with, and gives the stored name
// back unless the user picks another face.
class FontChooser final : public QDialog
{
    Q_OBJECT
public:
    explicit FontChooser(const FontChoice &initial, QWidget *parent = nullptr);

    QString selectedFamily() const;
    QString sizeText() const;
    // The choice as it stands; nothing while the typed size is no size.
    std::optional<FontChoice> choice() const;

    // A size in points from what was typed: "10.5", "１０．５" and "10,5" alike; nothing for
    // text that is no size or lies outside what a font can be drawn at.
    static std::optional<float> parseSize(const QString &text);

private:
    void showSample();

    QString m_storedName;
    QString m_shownFamily;
    QListWidget *m_families;
    QLineEdit *m_size;
    QListWidget *m_sizes;
    QLabel *m_sample;
    QPushButton *m_ok;
};
