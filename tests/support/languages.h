#pragma once

#include "core/language.h"

#include <QtTest>

// The languages as test data: a row "zh" and a row "en" under the column
// "language".
Q_DECLARE_METATYPE(language::Language)

namespace languages {

inline void addRows()
{
    QTest::addColumn<language::Language>("language");
    QTest::newRow("zh") << language::Language::Chinese;
    QTest::newRow("en") << language::Language::English;
}

}  // namespace languages
