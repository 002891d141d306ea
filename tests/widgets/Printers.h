#pragma once

// How failures show Qt values and table rows, instead of raw bytes.
#include <QColor>
#include <QRect>
#include <QString>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QPoint& p, std::ostream* os)
{
    *os << '(' << p.x() << ", " << p.y() << ')';
}

inline void PrintTo(const QSize& s, std::ostream* os)
{
    *os << s.width() << 'x' << s.height();
}

inline void PrintTo(const QRect& r, std::ostream* os)
{
    *os << '(' << r.x() << ", " << r.y() << ", " << r.width() << 'x' << r.height() << ')';
}

inline void PrintTo(const QColor& c, std::ostream* os)
{
    *os << "rgba(" << c.red() << ", " << c.green() << ", " << c.blue() << ", " << c.alpha() << ')';
}

// A table row prints as its name: KAVREN_PRINT_ROW(CutCase) after the row's struct.
#define KAVREN_PRINT_ROW(Row)                                                                                          \
    [[maybe_unused]] void PrintTo(const Row& row, std::ostream* os)                                                    \
    {                                                                                                                  \
        *os << row.name;                                                                                               \
    }
