#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A generated folder of notes: tabs of entries whose files hold about `contentBytes` of
// Japanese text each (cp932, as the program writes them), and TabSet.ini.
class NoteSet final
{
public:
    struct Shape
    {
        QString name;
        int tabs = 1;
        int entries = 1;
        int contentBytes = 0;
    };
    struct File
    {
        QString name;
        QByteArray bytes;
    };

    // Writes the set into `dir`, which must exist. The same shape always gives the same bytes.
    static NoteSet generate(const Shape &shape, const QString &dir);

    const Shape &shape() const { return m_shape; }
    QString dir() const { return m_dir; }
    const QList<File> &files() const { return m_files; }
    qint64 totalBytes() const;

private:
    NoteSet(const Shape &shape, const QString &dir);

    Shape m_shape;
    QString m_dir;
    QList<File> m_files;
};
