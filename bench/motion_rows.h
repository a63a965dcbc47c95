#pragma once
// The motion the write benchmarks send: rows "P0".., speeds 0 to 7, every channel a different position.

#include "motion/motion_form.h"
#include "protocol/board_facts.h"

#include <QString>
#include <QStringList>

inline void FillMotionRows(TMotionForm &form, int rows)
{
    for (int r = 0; r < rows; ++r) {
        QStringList values;
        for (int ch = 1; ch <= orvane::kChannelCount; ++ch)
            values << QString::number((r * 7 + ch) % 181);
        form.AppendPosition(QStringLiteral("P%1").arg(r), QString::number(r % 8), values);
    }
}
