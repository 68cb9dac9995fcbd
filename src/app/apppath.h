#pragma once

#include <QString>

// The program folder with its trailing "/"; the root already ends in one.
inline QString apppathFor(const QString& folder) {
    return folder == QStringLiteral("/") ? folder : folder + u'/';
}
