#pragma once

#include <QList>
#include <QString>

// The bench's one table, printed as Markdown so that it can go into the README as it is.
class ReportTable final
{
public:
    struct Row
    {
        QString set;
        QString measure;
        QString value;
        QString baseline; // the floor or baseline the value is held against, with its value
        QString ratio;
        QString target;
        QString holds; // "yes", "no", or empty where there is no target
    };

    void add(const Row &row) { m_rows.append(row); }
    QString markdown() const;
    // Rows whose target does not hold.
    int missed() const;

private:
    QList<Row> m_rows;
};
